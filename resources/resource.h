// Identifiers shared by gradewick.rc and the code.
#pragma once

// 1. Dialogs, in the order the program meets them
#define IDD_FILE_SELECT 1
#define IDD_SUBJECT_ENTRY 2
#define IDD_RESULTS_VIEW 3
#define IDD_SPLASH 4
#define IDD_ABOUT 5
#define IDD_PLAN_TARGET 7 // over the results view
#define IDD_RENAME_SUBJECT 8 // over the results view

// 2. Icon group
#define IDI_GRADEWICK 6

// 3. Controls used on more than one screen
#define IDC_ABOUT_BUTTON 163
#define IDC_EXIT_BUTTON 162

// 4. Splash and About
#define IDC_SPLASH_PICTURE 105
#define IDC_ABOUT_PICTURE 100

// 5. File selection screen
#define IDC_FILE_GROUP 107
#define IDC_FILE_NEW 108
#define IDC_FILE_EXISTING 109
#define IDC_FILE_OK 110
#define IDC_FILE_CANCEL 111
#define IDC_FILE_NEW_PICTURE 104
#define IDC_FILE_EXISTING_PICTURE 106
#define IDC_FILE_HINT_FRAME 112
#define IDC_FILE_HINT 113
#define IDC_FILE_TWIN_PICTURE 101
#define IDC_FILE_BUTTON_LINE 146
#define IDC_FILE_GRADUATE_PICTURE 102

// 6. Subject entry screen
#define IDC_ENTRY_SUBJECT 135
#define IDC_ENTRY_CREDITS 160
#define IDC_ENTRY_GRADE 159
#define IDC_ENTRY_VIEW_CGPA 191
#define IDC_ENTRY_INSERT 130
#define IDC_ENTRY_DIPLOMA 142
#define IDC_ENTRY_SEMESTER 134
#define IDC_ENTRY_SUBJECT_LABEL 166
#define IDC_ENTRY_GRADE_POINT 136
#define IDC_ENTRY_GRADE_LABEL 167
#define IDC_ENTRY_CREDIT_LABEL 138
#define IDC_ENTRY_INPUT_FRAME 139
#define IDC_ENTRY_VIEW_CGPA_LABEL 169
#define IDC_ENTRY_BUTTON_LINE 141

// 7. Results view: semester choice, buttons and labels
#define IDC_VIEW_SEMESTER_LIST 164
#define IDC_VIEW_ADD_SUBJECT 161
#define IDC_VIEW_SEMESTER_LABEL 165
#define IDC_VIEW_SUBJECT_HEADING 166
#define IDC_VIEW_CREDIT_HEADING 138
#define IDC_VIEW_GRADE_HEADING 167
#define IDC_VIEW_GPA_LABEL 168
#define IDC_VIEW_CGPA_LABEL 169
#define IDC_VIEW_ADD_SUBJECT_LABEL 170
#define IDC_VIEW_ROWS_FRAME 171
#define IDC_VIEW_VALUES_FRAME 144
#define IDC_VIEW_VERDICT_LINE 145

// 8. Results view: subject rows (row r = 1..7), values and verdict pictures
#define IDC_VIEW_ROW1_SUBJECT 172 // rows 1..7: 172..178
#define IDC_VIEW_ROW1_CREDITS 183 // rows 1..7: 183..189
#define IDC_VIEW_ROW1_GRADE 179   // rows 1..4: 179..182
#define IDC_VIEW_ROW5_GRADE 131   // rows 5..7: 131..133
#define IDC_VIEW_GPA 190
#define IDC_VIEW_CGPA 191
#define IDC_VIEW_GOOD 158
#define IDC_VIEW_BAD 157
#define IDC_VIEW_NORMAL 148
#define IDC_VIEW_ROWS_SCROLL 150 // shown when the semester has more rows than the seven cells

// 9. Results view: tab strip; tab k = 1..8 has its pictures at base + k
#define IDC_TAB_SELECTED_BASE 113   // "pic1".."pic8": 114..121
#define IDC_TAB_UNSELECTED_BASE 121 // "pic1click".."pic8click": 122..129
#define IDC_TAB_HOVER_BASE 191      // "mouse1".."mouse8": 192..199
#define TAB_COUNT 8

// 10. Plan a target CGPA, a dialog of the results view (its Close button is IDCANCEL)
#define IDC_PLAN_NOW 200
#define IDC_PLAN_TARGET 201
#define IDC_PLAN_SEMESTER 202
#define IDC_PLAN_CREDITS 203
#define IDC_PLAN_ANSWER 204

// 11. Rename subject, a dialog of the results view (OK is IDOK, Cancel IDCANCEL)
#define IDC_RENAME_SUBJECT 210
