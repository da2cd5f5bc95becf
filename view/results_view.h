// The results view screen: one semester's subjects, its GPA, the CGPA and a verdict picture.
#pragma once

#include <windows.h>

#include <string>

// Label fonts the results view makes at every opening.
constexpr int ResultsViewFontCount = 30;

// Private message the view posts to itself while it opens; its warnings about the loaded file
// are shown when it arrives, after the view is on screen.
constexpr UINT WM_RESULTS_VIEW_WARNINGS = WM_APP + 31;

// The whole file as the view last loaded it: a change is made only on the file as it was shown.
const std::string& LoadedBytes();

// Loads the file again and repaints the view at once, on the same semester and, where it still
// has as many subjects, the same rows.
void ReloadResultsView(HWND window);

// Repaints the view for CurrentSemester: its rows, GPA, verdict picture and tab strip, and the
// CGPA.
void RefreshResultsView(HWND window);

// The warnings about a loaded file, shown once per opening with the caption "WARNING".
extern const char CannotOpenWarning[]; // a printf format taking the file's path
extern const char MoreThanCapacityWarning[];
extern const char ReadErrorWarning[];
extern const char PassedOverOneWarning[];
extern const char PassedOverManyWarning[]; // a printf format taking the number of records
extern const char NoSemesterOneWarning[];
extern const char NoSemesterManyWarning[]; // a printf format taking the number of entries
extern const char NotAResultFileWarning[]; // a printf format taking the file's path
