// The subject entry screen from its real template and procedure, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app_state.h"
#include "label_font.h"
#include "resource.h"
#include "screen_flow.h"
#include "screen_harness.h"

namespace {

// Modal boxes opened while a test runs are answered by a timer that finds them and presses OK.
struct SeenMessage {
    std::string Caption;
    std::string Text;
    HWND Owner;
    bool ErrorIcon;
};
std::vector<SeenMessage> messagesSeen;
int aboutScreensSeen = 0;
std::set<HWND> answered;

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, static_cast<int>(std::size(text)));
    return text;
}

BOOL CALLBACK ReadMessageChild(HWND child, LPARAM param) {
    auto* seen = reinterpret_cast<SeenMessage*>(param); // NOLINT(performance-no-int-to-ptr)
    char className[32] = "";
    GetClassNameA(child, className, static_cast<int>(std::size(className)));
    if (_stricmp(className, "Static") != 0) {
        return TRUE;
    }
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        const LRESULT icon = SendMessageA(child, STM_GETICON, 0, 0);
        seen->ErrorIcon = icon == reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_HAND));
    } else {
        seen->Text += WindowText(child);
    }
    return TRUE;
}

BOOL CALLBACK AnswerModal(HWND window, LPARAM /*unused*/) {
    char className[16] = "";
    GetClassNameA(window, className, static_cast<int>(std::size(className)));
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window) ||
        answered.count(window) != 0) {
        return TRUE;
    }
    HWND picture = GetDlgItem(window, IDC_ABOUT_PICTURE);
    if (WindowText(window) == "WARNING") {
        SeenMessage seen{"WARNING", "", GetWindow(window, GW_OWNER), false};
        EnumChildWindows(window, ReadMessageChild, reinterpret_cast<LPARAM>(&seen));
        messagesSeen.push_back(seen);
    } else if (picture != nullptr &&
               (GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
        ++aboutScreensSeen;
    } else {
        return TRUE;
    }
    answered.insert(window);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

VOID CALLBACK AnswerModalTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), AnswerModal, 0);
}

constexpr int StaticIds[] = {
    IDC_ENTRY_DIPLOMA,     IDC_ENTRY_SEMESTER,        IDC_ENTRY_SUBJECT_LABEL,
    IDC_ENTRY_GRADE_POINT, IDC_ENTRY_GRADE_LABEL,     IDC_ENTRY_CREDIT_LABEL,
    IDC_ENTRY_INPUT_FRAME, IDC_ENTRY_VIEW_CGPA_LABEL, IDC_ENTRY_BUTTON_LINE};

class EntryScreen : public testing::Test {
  protected:
    void SetUp() override {
        path_ = TemporaryPath(".rst");
        lstrcpynA(ResultFilePath, path_.c_str(), ResultFilePathSize);
        IsNewFile = 1;
        CurrentSemester = 0;
        fontsBefore_ = LiveLabelFonts();
        messagesSeen.clear();
        aboutScreensSeen = 0;
        timer_ = SetTimer(nullptr, 0, 20, AnswerModalTimer);
    }

    void TearDown() override {
        KillTimer(nullptr, timer_);
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        TakeQuitMessage();
        EXPECT_EQ(LiveLabelFonts(), fontsBefore_) << "fonts left after the screen was destroyed";
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
    }

    HWND Open() {
        dialog_ = CreateScreen(IDD_SUBJECT_ENTRY);
        SetForegroundWindow(dialog_);
        PumpMessages();
        return dialog_;
    }

    // WM_SETTEXT on the edit sends EN_CHANGE to the dialog, as typing does.
    void Type(const char* subject) const { SetDlgItemTextA(dialog_, IDC_ENTRY_SUBJECT, subject); }

    void Choose(int listId, int index) const {
        SendDlgItemMessageA(dialog_, listId, CB_SETCURSEL, index, 0);
        SendCommand(dialog_, listId, CBN_SELCHANGE);
    }

    int Selection(int listId) const {
        return static_cast<int>(SendDlgItemMessageA(dialog_, listId, CB_GETCURSEL, 0, 0));
    }

    void Insert(const char* subject) const {
        Type(subject);
        SendCommand(dialog_, IDC_ENTRY_INSERT);
    }

    bool Key(UINT key) const {
        MSG message = {GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        return IsDialogMessageA(dialog_, &message) != FALSE;
    }

    long ScreenFonts() const { return LiveLabelFonts() - fontsBefore_; }

    // Inserts "Statistics" into a new file at refusedPath, which refuses the write: one
    // warning owned by the main window, and nothing changed on screen or on disk.
    void ExpectRefusedInsert(const std::string& refusedPath, const char* why) {
        SCOPED_TRACE(why);
        HWND owner =
            CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        MainWindow = owner;
        messagesSeen.clear();
        lstrcpynA(ResultFilePath, refusedPath.c_str(), ResultFilePathSize);
        Insert("Statistics");
        MainWindow = nullptr;
        DestroyWindow(owner);

        ASSERT_EQ(messagesSeen.size(), 1U);
        const SeenMessage seen = messagesSeen.front();
        messagesSeen.clear();
        EXPECT_NE(seen.Text.find(refusedPath), std::string::npos) << seen.Text;
        EXPECT_NE(seen.Text.find("not saved"), std::string::npos) << seen.Text;
        EXPECT_TRUE(seen.ErrorIcon);
        EXPECT_EQ(seen.Owner, owner);
        EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), "Statistics");
        EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
        EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
        EXPECT_EQ(IsNewFile, 1);
        EXPECT_EQ(ReadFileBytes(path_), existing_);
    }

    const std::string existing_ = "Semester 2\r\nKept\r\n1\r\n2\r\n";

    std::string path_;
    HWND dialog_ = nullptr;
    long fontsBefore_ = 0;
    UINT_PTR timer_ = 0;
};

TEST_F(EntryScreen, LabelsHaveTheirOwnBoldFontsAndColours) {
    Open();
    struct Label {
        int Id;
        int Points;
        const char* Face;
        const char* Text;
    };
    const Label labels[] = {{IDC_ENTRY_SEMESTER, 20, "Arial", "Semester 1"},
                            {IDC_ENTRY_SUBJECT_LABEL, 12, "Tahoma", "&Subject"},
                            {IDC_ENTRY_GRADE_LABEL, 12, "Tahoma", "&Grade"},
                            {IDC_ENTRY_CREDIT_LABEL, 12, "Tahoma", "&Credit"},
                            {IDC_ENTRY_VIEW_CGPA_LABEL, 10, "Tahoma", "&View CGPA"},
                            {IDC_ENTRY_GRADE_POINT, 12, "Arial", "4.0"}};
    const int logPixelsY = ScreenLogPixelsY(dialog_);
    std::set<HFONT> fonts;
    for (const Label& label : labels) {
        const LRESULT handle = SendDlgItemMessageA(dialog_, label.Id, WM_GETFONT, 0, 0);
        auto font = reinterpret_cast<HFONT>(handle); // NOLINT(performance-no-int-to-ptr)
        LOGFONTA described = {};
        ASSERT_NE(GetObjectA(font, sizeof described, &described), 0) << label.Id;
        EXPECT_STREQ(described.lfFaceName, label.Face) << label.Id;
        EXPECT_EQ(described.lfHeight, -MulDiv(logPixelsY, label.Points, 72)) << label.Id;
        EXPECT_EQ(described.lfWeight, FW_BOLD) << label.Id;
        EXPECT_EQ(ControlText(dialog_, label.Id), label.Text);
        fonts.insert(font);
    }
    EXPECT_EQ(fonts.size(), 6U) << "every label has a font of its own";
    EXPECT_EQ(ScreenFonts(), 6);

    // Every static gets the light grey brush and a transparent background; listed labels get
    // their own text colour, the others keep the one the device context had.
    constexpr COLORREF untouched = 0x123456;
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id : StaticIds) {
        SetTextColor(dc, untouched);
        SetBkColor(dc, untouched);
        SetBkMode(dc, OPAQUE);
        const LRESULT brush = SendMessageA(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH))) << id;
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << id;
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW)) << id;
        COLORREF expected = untouched;
        switch (id) {
        case IDC_ENTRY_SEMESTER: expected = RGB(0, 0, 255); break;
        case IDC_ENTRY_GRADE_POINT: expected = RGB(255, 0, 0); break;
        case IDC_ENTRY_SUBJECT_LABEL:
        case IDC_ENTRY_GRADE_LABEL:
        case IDC_ENTRY_CREDIT_LABEL: expected = RGB(0, 40, 0); break;
        case IDC_ENTRY_VIEW_CGPA_LABEL: expected = RGB(80, 0, 255); break;
        default: break;
        }
        EXPECT_EQ(GetTextColor(dc), expected) << id;
    }
    EXPECT_EQ(SendMessageA(dialog_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(dialog_)),
              reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH)))
        << "the screen is the labels' grey";
    DeleteDC(dc);
}

TEST_F(EntryScreen, ListsHoldTheScaleAndThePointFollowsEveryGradeNotification) {
    Open();
    auto items = [this](int listId) {
        std::string joined;
        const auto count = SendDlgItemMessageA(dialog_, listId, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char item[8] = "";
            SendDlgItemMessageA(dialog_, listId, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            joined += std::string(item) + " ";
        }
        return joined;
    };
    EXPECT_EQ(items(IDC_ENTRY_CREDITS), "1 2 3 4 ");
    EXPECT_EQ(items(IDC_ENTRY_GRADE), "A A- B+ B B- C+ C C- D+ D ");
    EXPECT_EQ(Selection(IDC_ENTRY_CREDITS), 0);
    EXPECT_EQ(Selection(IDC_ENTRY_GRADE), 0);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_GRADE_POINT), "4.0");

    // A key press in the list: the list itself reports the new selection.
    SendDlgItemMessageA(dialog_, IDC_ENTRY_GRADE, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_GRADE_POINT), "3.7");
    Choose(IDC_ENTRY_GRADE, 4);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_GRADE_POINT), "2.7") << "B-";
    const struct {
        int Index;
        int Notification;
        const char* Points;
    } others[] = {{9, CBN_SETFOCUS, "1.0"}, {3, CBN_DROPDOWN, "3.0"}, {2, CBN_KILLFOCUS, "3.3"}};
    for (const auto& other : others) {
        SendDlgItemMessageA(dialog_, IDC_ENTRY_GRADE, CB_SETCURSEL, other.Index, 0);
        SendCommand(dialog_, IDC_ENTRY_GRADE, other.Notification);
        EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_GRADE_POINT), other.Points) << other.Notification;
    }
    Choose(IDC_ENTRY_GRADE, -1); // no selection: the point stays
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_GRADE_POINT), "3.3");
}

TEST_F(EntryScreen, NewFileStatesFromOpeningThroughInsertions) {
    WriteFileBytes(path_, "Semester 8\r\nOld\r\n3\r\n0\r\n");
    Open();
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SEMESTER), "Semester 1");
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));

    Type("Physics");
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA)) << "typing alone views nothing";

    Choose(IDC_ENTRY_CREDITS, 3);
    Choose(IDC_ENTRY_GRADE, 1);
    SetFocus(GetDlgItem(dialog_, IDC_ENTRY_CREDITS));
    SendCommand(dialog_, IDC_ENTRY_INSERT);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), "");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_ENTRY_SUBJECT));
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    EXPECT_EQ(IsNewFile, 0);
    EXPECT_EQ(Selection(IDC_ENTRY_CREDITS), 3) << "selections are kept between insertions";
    EXPECT_EQ(Selection(IDC_ENTRY_GRADE), 1);

    Choose(IDC_ENTRY_CREDITS, 0);
    Choose(IDC_ENTRY_GRADE, 9);
    Insert("Chemistry");
    Insert("Biology");
    Type("x");
    Type(""); // a field typed into and emptied again still enables Insert
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    SendCommand(dialog_, IDC_ENTRY_INSERT);

    // The first insertion started the existing file afresh; the others appended.
    EXPECT_EQ(ReadFileBytes(path_), "Semester 1\r\nPhysics\r\n3\r\n1\r\n"
                                    "Semester 1\r\nChemistry\r\n0\r\n9\r\n"
                                    "Semester 1\r\nBiology\r\n0\r\n9\r\n"
                                    "Semester 1\r\n\r\n0\r\n9\r\n");
}

TEST_F(EntryScreen, OpenedFromTheResultsViewAppendsUnderItsSemester) {
    const std::string existing = "Semester 1\r\nPhysics\r\n3\r\n1\r\n";
    WriteFileBytes(path_, existing);
    IsNewFile = 0;
    CurrentSemester = 2;
    Open();
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SEMESTER), "Semester 3");
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    Choose(IDC_ENTRY_CREDITS, 2);
    Choose(IDC_ENTRY_GRADE, 4);
    Insert("Algebra");
    EXPECT_EQ(ReadFileBytes(path_), existing + "Semester 3\r\nAlgebra\r\n2\r\n4\r\n");
}

TEST_F(EntryScreen, SemesterOutsideTheRangeKeepsTheFirstCaption) {
    CurrentSemester = 8;
    Open();
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SEMESTER), "Semester 1");
}

TEST_F(EntryScreen, AtMost49CharactersAreTypedOrWritten) {
    Open();
    HWND field = GetDlgItem(dialog_, IDC_ENTRY_SUBJECT);
    for (int i = 0; i < 60; ++i) {
        SendMessageA(field, WM_CHAR, 'l', 1);
    }
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), std::string(49, 'l'));

    // Text put there by a program is not limited; what is written still is.
    Insert(std::string(60, 'i').c_str());
    EXPECT_EQ(ReadFileBytes(path_), "Semester 1\r\n" + std::string(49, 'i') + "\r\n0\r\n0\r\n");
}

// Three ways a file refuses writes: held open by another program, its folder gone, a folder
// in its place. Each refusal is reported and changes nothing; the same press then succeeds.
TEST_F(EntryScreen, RefusedWriteIsReportedAndLosesNothing) {
    WriteFileBytes(path_, existing_);
    Open();
    HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ExpectRefusedInsert(path_, "locked");
    CloseHandle(holder);
    const std::string gone = TemporaryPath("-gone");
    ExpectRefusedInsert(gone + "\\result.rst", "folder gone");
    CreateDirectoryA(gone.c_str(), nullptr);
    ExpectRefusedInsert(gone, "a folder in its place");
    RemoveDirectoryA(gone.c_str());

    lstrcpynA(ResultFilePath, path_.c_str(), ResultFilePathSize);
    SendCommand(dialog_, IDC_ENTRY_INSERT);
    EXPECT_TRUE(messagesSeen.empty());
    EXPECT_EQ(ReadFileBytes(path_), "Semester 1\r\nStatistics\r\n0\r\n0\r\n") << "afresh";
    EXPECT_EQ(IsNewFile, 0);
}

TEST_F(EntryScreen, ReadOnlyFileIsRefused) {
    WriteFileBytes(path_, existing_);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this user may write to read-only files (root under Wine)";
    }
    Open();
    ExpectRefusedInsert(path_, "read-only");
}

TEST_F(EntryScreen, EveryWayOutReleasesAllSixFonts) {
    const struct {
        const char* Name;
        bool Quits;
        void (*Leave)(HWND);
    } ways[] = {
        {"Exit", true, [](HWND d) { SendCommand(d, IDC_EXIT_BUTTON); }},
        {"IDCANCEL", true, [](HWND d) { SendCommand(d, IDCANCEL); }},
        {"close box", true,
         [](HWND d) {
             SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
             PumpMessages();
         }},
        {"View CGPA", false, [](HWND d) { SendCommand(d, IDC_ENTRY_VIEW_CGPA); }},
    };
    for (const auto& way : ways) {
        for (int visit = 0; visit < 3; ++visit) {
            SCOPED_TRACE(way.Name);
            IsNewFile = 0;
            Open();
            ASSERT_EQ(ScreenFonts(), 6);
            way.Leave(dialog_);
            EXPECT_EQ(ScreenFonts(), 0);
            EXPECT_EQ(TakeQuitMessage(), way.Quits);
            EXPECT_EQ(TakePendingScreen(), way.Quits ? 0 : IDD_RESULTS_VIEW);
            EXPECT_EQ(IsWindowVisible(dialog_) == FALSE, !way.Quits) << "View CGPA ends the screen";
            EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_ENTRY_SEMESTER, WM_GETFONT, 0, 0), 0)
                << "no control keeps a deleted font";
            DestroyWindow(dialog_);
        }
    }
}

TEST_F(EntryScreen, EnterViewsTheResultsOnlyOnceViewCgpaIsEnabled) {
    Open();
    SetFocus(GetDlgItem(dialog_, IDC_ENTRY_SUBJECT));
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_TRUE(IsWindowVisible(dialog_)) << "View CGPA is disabled for a new file";
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_EQ(ScreenFonts(), 6);

    Insert("Physics");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_FALSE(IsWindowVisible(dialog_));
    EXPECT_EQ(TakePendingScreen(), IDD_RESULTS_VIEW);
    EXPECT_EQ(ScreenFonts(), 0);
    EXPECT_FALSE(TakeQuitMessage());
    DestroyWindow(dialog_);

    Open();
    SetFocus(GetDlgItem(dialog_, IDC_ENTRY_SUBJECT));
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_TRUE(TakeQuitMessage());
    EXPECT_EQ(ScreenFonts(), 0);
}

TEST_F(EntryScreen, AboutReturnsTheFocusToTheSubjectField) {
    Open();
    SetFocus(GetDlgItem(dialog_, IDC_ENTRY_CREDITS));
    SendCommand(dialog_, IDC_ABOUT_BUTTON);
    EXPECT_EQ(aboutScreensSeen, 1);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_ENTRY_SUBJECT));
    EXPECT_TRUE(IsWindowVisible(dialog_)) << "About does not leave the screen";
    EXPECT_FALSE(TakeQuitMessage());
}

} // namespace
