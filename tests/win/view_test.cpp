// The results view from its real template: rows, verdicts and warnings, the tab strip driven by
// pointer messages, and the animation tick by tick (its timer stopped so the test gives ticks).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "harness.h"

#include <commctrl.h> // after windows.h
#include "rewrite_faults.h"
#include "results_view.h"
#include "tab_animation.h"
#include "tab_strip.h"

namespace {

INT_PTR CALLBACK ViewWithoutTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const INT_PTR result = DialogFunc3(window, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        KillTimer(nullptr, ViewTimerId);
    }
    return result;
}

class ViewTest : public testing::Test {
  protected:
    void SetUp() override {
        CurrentSemester = 0;
        AnimationPhase = PhaseRunRight;
        AnimationStep = 0;
        HoverTab = 0;
        IsNewFile = 0;
    }
    void TearDown() override {
        Close();
        PumpMessages();
        TakeQuitCode();
    }
    void Close() {
        DestroyWindow(view_);
        EXPECT_EQ(LiveObjects(fonts_), 0) << "a closed view kept its fonts";
    }
    HWND Open(const std::string& bytes, DLGPROC procedure = ViewWithoutTimer) {
        Close();
        file_.Write(bytes);
        lstrcpynA(ResultFilePath, file_.Path.c_str(), ResultFilePathSize);
        view_ = CreateScreen(IDD_RESULTS_VIEW, procedure);
        fonts_ = ScreenFonts(view_);
        return view_;
    }
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            TabAnimationTimerProc(nullptr, WM_TIMER, ViewTimerId, 0);
        }
    }
    void Pointer(UINT message, POINT p) { SendMessageA(view_, message, 0, MAKELPARAM(p.x, p.y)); }
    POINT InTab(int tab) const {
        const TabRectangle r = TabHitRectangle(tab, ScaleOf(view_));
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // The middle of row r's subject cell, in client pixels.
    POINT InRow(int row) const {
        RECT cell{};
        GetWindowRect(GetDlgItem(view_, IDC_VIEW_ROW1_SUBJECT + row - 1), &cell);
        MapWindowPoints(nullptr, view_, reinterpret_cast<POINT*>(&cell), 2);
        return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    // One letter a tab, tab 1 first: H hover, S selected, U unselected, - none.
    std::string Strip() const {
        std::string strip;
        for (int tab = 1; tab <= TAB_COUNT; ++tab) {
            strip += ControlVisible(view_, HoverPicture(tab))        ? 'H'
                     : ControlVisible(view_, SelectedPicture(tab))   ? 'S'
                     : ControlVisible(view_, UnselectedPicture(tab)) ? 'U'
                                                                     : '-';
        }
        return strip;
    }
    static std::string Resting(int tab) {
        std::string strip = "UUUUUUUU";
        strip[tab - 1] = 'S';
        return strip;
    }
    // The one verdict picture shown (0: none, -1: more than one).
    int Verdict() const {
        int shown = 0;
        for (int id : {IDC_VIEW_GOOD, IDC_VIEW_BAD, IDC_VIEW_NORMAL}) {
            shown = ControlVisible(view_, id) ? (shown == 0 ? id : -1) : shown;
        }
        return shown;
    }
    std::string Rows() const {
        std::string rows;
        for (int row = 0; row < 7; ++row) {
            rows += ControlText(view_, IDC_VIEW_ROW1_SUBJECT + row) + "|";
        }
        return rows;
    }
    HWND view_ = nullptr;
    TempFile file_;
    std::vector<HGDIOBJ> fonts_;
};

TEST_F(ViewTest, WarningsComeOncePerOpeningAfterTheViewShows) {
    std::string oversized;
    for (int i = 0; i <= 100; ++i) {
        oversized += Record(1, "S", 0, i == 100 ? 9 : 0);
    }
    char many[256];
    char noSemesters[256];
    char notOurs[512];
    std::snprintf(many, sizeof many, PassedOverManyWarning, 2);
    std::snprintf(noSemesters, sizeof noSemesters, NoSemesterManyWarning, 2);
    std::snprintf(notOurs, sizeof notOurs, NotAResultFileWarning, file_.Path.c_str());
    const struct {
        std::string File;
        std::string Text;
    } cases[] = {
        {oversized, MoreThanCapacityWarning},
        {Record(1, "A", 3, 0) + Record(1, "B", 7, 0) + Record(1, "C", 0, 12), many},
        {Record(1, "A", 3, 0) + "Semestre 2\r\nArt\r\n0\r\n0\r\n", NoSemesterOneWarning},
        {"Term 1\r\nArt\r\n0\r\n0\r\n" + Record(1, "A", 3, 0) + "\r\nx\r\n", noSemesters},
        {"Marks\n=====\n\nSemester notes\n--------------\n", notOurs}, // another .rst
        {Record(1, "A", 3, 0) + "Semester 1\r\nHalf", PassedOverOneWarning},
    };
    ModalAnswerer answerer;
    for (const auto& c : cases) {
        ModalAnswerer::Seen.clear();
        Open(c.File);
        RefreshResultsView(view_);
        PumpMessages();
        ASSERT_EQ(ModalAnswerer::Seen.size(), 1U) << c.Text;
        EXPECT_EQ(ModalAnswerer::Seen[0].Caption, "WARNING");
        EXPECT_EQ(ModalAnswerer::Seen[0].Text, c.Text);
        EXPECT_TRUE(ModalAnswerer::Seen[0].ViewVisible) << "warned before the view showed";
        EXPECT_EQ(ModalAnswerer::Seen[0].Owner, view_) << "a warning the view can cover";
    }

    // A file that cannot be opened is named in a warning, not only on standard output.
    ModalAnswerer::Seen.clear();
    Close();
    DeleteFileA(file_.Path.c_str());
    view_ = CreateScreen(IDD_RESULTS_VIEW, ViewWithoutTimer);
    ASSERT_EQ(ModalAnswerer::Seen.size(), 1U);
    EXPECT_NE(ModalAnswerer::Seen[0].Text.find(file_.Path), std::string::npos);
}

TEST_F(ViewTest, TheRowsScrollThroughEverySubjectOfASemesterWithMoreThanSeven) {
    // Semester 1: ten rows (the first an empty subject, which takes a row); semester 2: seven.
    std::string file = Record(1, "", 0, 0);
    for (int i = 2; i <= 10; ++i) {
        file += Record(1, std::to_string(i), 0, i == 10 ? 9 : 0) +
                (i <= 8 ? Record(2, "Other", 3, 9) : "");
    }
    Open(file);
    HWND bar = GetDlgItem(view_, IDC_VIEW_ROWS_SCROLL);
    const auto place = [&](int id) {
        RECT place{};
        GetWindowRect(GetDlgItem(view_, id), &place);
        return place;
    };
    const LONG asMade = place(IDC_VIEW_ROW1_GRADE + 3).right; // the widest grade cell
    RefreshResultsView(view_);
    EXPECT_LE(place(IDC_VIEW_ROW1_GRADE + 3).right, place(IDC_VIEW_ROWS_SCROLL).left)
        << "a grade cell paints over the scroll bar";
    const auto rowsFrom = [](int first) {
        std::string rows;
        for (int i = first; i < first + 7; ++i) {
            rows += (i == 1 ? "" : std::to_string(i)) + "|";
        }
        return rows;
    };
    EXPECT_TRUE(ControlVisible(view_, IDC_VIEW_ROWS_SCROLL));
    EXPECT_EQ(Rows(), rowsFrom(1));
    const WPARAM notch = MAKEWPARAM(0, -WHEEL_DELTA); // towards the user: down
    const struct {
        HWND To;
        UINT Message;
        WPARAM Code;
        int First; // the row shown first
    } moves[] = {
        {view_, WM_MOUSEWHEEL, notch, 4},                      // three rows a notch
        {view_, WM_MOUSEWHEEL, notch, 4},                      // never past the last seven
        {view_, WM_VSCROLL, SB_LINEUP, 3},                     // the bar's arrows and track
        {view_, WM_VSCROLL, SB_PAGEUP, 1},                     //
        {view_, WM_VSCROLL, SB_PAGEDOWN, 4},                   //
        {view_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 1}, //
        {bar, WM_KEYDOWN, VK_END, 4},                          // its keys
    };
    for (const auto& move : moves) {
        SendMessageA(move.To, move.Message, move.Code, reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ(Rows(), rowsFrom(move.First));
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), move.First - 1);
        EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "3.70") << "the GPA moved with the rows";
    }
    SendMessageA(view_, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW5_GRADE + 2), "D") << "row 10 in the last cells";
    EXPECT_EQ(ControlText(view_, IDC_VIEW_CGPA), "1.71"); // (37 + 28) / (10 + 28)

    // Seven rows need no scroll bar; a semester chosen again starts at the top.
    SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL, 1, 0);
    SendCommand(view_, IDC_VIEW_SEMESTER_LIST, CBN_SELENDOK);
    EXPECT_FALSE(ControlVisible(view_, IDC_VIEW_ROWS_SCROLL));
    EXPECT_EQ(place(IDC_VIEW_ROW1_GRADE + 3).right, asMade) << "seven rows look as before";
    SendMessageA(view_, WM_MOUSEWHEEL, notch, 0);
    EXPECT_EQ(Rows(), "Other|Other|Other|Other|Other|Other|Other|");
    EXPECT_EQ(Strip(), Resting(2));
    Pointer(WM_LBUTTONDOWN, InTab(1));
    EXPECT_EQ(Rows(), rowsFrom(1));
}

constexpr int Down = -VK_DOWN; // menu keys (see ModalAnswerer::Keys)
constexpr int Up = -VK_UP;
constexpr int Right = -VK_RIGHT;
constexpr int Enter = '\r';
constexpr int EnterKey = -VK_RETURN; // on a message box (see ModalAnswerer::Press)

// Each item of a subject's menu changes exactly its field, on the file as it was shown, or writes
// nothing and says why: a file changed since it was shown, or gone (the view then shows it as it
// is), a file that cannot be replaced (the view stays as it was).
TEST_F(ViewTest, EachItemOfASubjectsMenuChangesExactlyItsRecordOrSaysWhyNot) {
    // The middle record has LF line ends, a blank line after it and a subject in the code page
    // (é, shown as it is), once with bytes after a NUL that the view does not show.
    const std::string art = "Art & D\xe9sign";
    const std::string artNul = art + '\0' + "logy";
    const std::string first = Record(1, "Algebra", 3, 0);
    const std::string rest = Record(2, "Optics", 0, 9);
    const auto with = [&](const std::string& subject, const char* lines) {
        return first + "Semester " + lines[0] + "\n" + subject + "\n" + lines[1] + "\n" + lines[2] +
               "\n\n" + rest;
    };
    const std::string before = with(art, "214");
    std::string edited = before; // another record, same length
    edited.replace(edited.find("Algebra"), 7, "Algebro");
    const struct {
        std::vector<int> Keys;
        int Answer;            // the question's button; 0: no question
        std::string Subject;   // the middle subject's bytes
        std::string Meanwhile; // what another program writes after the view loaded the file
        const char* Fault;     // of the rewrite
        std::string After;     // "": no file
        const char* Row1;      // the first row of semester 2 afterwards: subject and grade
        const char* Said;      // what the warning holds; "" for none
    } cases[] = {
        {{'g', Enter}, 0, art, "", "", with(art, "210"), "Art & Désign A", ""},
        {{'g', Enter}, 0, artNul, "", "", with(artNul, "210"), "Art & Désign A", ""},
        {{'c', Down, Down, Enter}, 0, art, "", "", with(art, "224"), "Art & Désign B-", ""},
        {{'s', Enter}, 0, art, "", "", with(art, "114"), "Optics D", ""},
        {{'r'}, IDYES, art, "", "", first + rest, "Optics D", ""},
        {{'r'}, EnterKey, art, "", "", before, "Art & Désign B-", ""}, // the question says No
        {{'g', Down, Down, Down, Down, Enter}, 0, art, "", "", before, "Art & Désign B-", ""},
        {{'g', Enter}, 0, art, edited, "", edited, "Art & Désign B-", "changed since it was"},
        {{'g', Enter}, 0, art, "-", "", "", " ", "no longer there"},
        {{'r'}, IDYES, art, "", "rename", before, "Art & Désign B-", "could not take the place"},
    };
    ModalAnswerer answerer;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        CurrentSemester = 1;
        const std::string shown = with(c.Subject, "214");
        Open(shown);
        RefreshResultsView(view_);
        if (c.Meanwhile == "-") {
            DeleteFileA(file_.Path.c_str());
        } else if (!c.Meanwhile.empty()) {
            file_.Write(c.Meanwhile);
        }
        // A file to be left as it is is read-only: a write would be refused with a warning.
        // Any other is hidden, and stays so.
        const bool untouched = c.After == shown && *c.Said == '\0';
        const DWORD attributes = untouched ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_HIDDEN;
        SetFileAttributesA(file_.Path.c_str(), attributes);
        InjectRewriteFault(c.Fault);
        ModalAnswerer::Seen.clear();
        answerer.Keys(c.Keys);
        answerer.Press(c.Answer);
        const POINT row = InRow(1); // and no second menu under the view's own question
        SendUnder(MessageTextId, view_, WM_RBUTTONUP, 0, MAKELPARAM(row.x, row.y));
        Pointer(WM_RBUTTONUP, row);
        InjectRewriteFault("");
        EXPECT_EQ(GetFileAttributesA(file_.Path.c_str()) & attributes, attributes)
            << "the file lost what it was";
        SetFileAttributesA(file_.Path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_EQ(ModalAnswerer::Seen.size(), 1U + (c.Answer != 0) + (*c.Said != '\0'));
        EXPECT_EQ(ModalAnswerer::Seen[0].Text,
                  "&Remove \"Art && Désign\"...|Re&name...|-|&Grade>B-|"
                  "&Credits>2|&Semester>Semester 2");
        if (c.Answer != 0) {
            EXPECT_EQ(ModalAnswerer::Seen[1].Text,
                      "Remove \"Art & Désign\" (Semester 2, 2 credits, "
                      "grade B-) from the result file?\n\nEvery "
                      "other subject stays as it is.");
            EXPECT_EQ(ModalAnswerer::Seen[1].Owner, view_) << "a question the view can cover";
        }
        if (*c.Said != '\0') {
            EXPECT_EQ(ModalAnswerer::Seen.back().Caption, "WARNING");
            EXPECT_NE(ModalAnswerer::Seen.back().Text.find(c.Said), std::string::npos);
            EXPECT_NE(ModalAnswerer::Seen.back().Text.find(file_.Path), std::string::npos);
        }
        EXPECT_EQ(file_.Read(), c.After);
        EXPECT_EQ(GetFileAttributesA((file_.Path + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT) + " " +
                      ControlText(view_, IDC_VIEW_ROW1_GRADE),
                  c.Row1)
            << "the view shows the file as it is";
    }
}

// With the focus on the semester list, the view's modal loop hands the wheel and the keys to
// the message filter first: the wheel over the rows scrolls them (over the list it stays the
// list's), the menu key opens a menu of every subject the view counts (not a damaged one) and the
// view's own items, which a semester without subjects and a right-click outside the rows open
// alone, and a row scrolled into view has its own menu. The last subject, which has no name,
// removed from there, the rows still fill their seven places.
TEST_F(ViewTest, TheWheelTheMenuKeyAndTheRowsReachEverySubject) {
    std::string file = Record(1, "Damaged", 3, 12) + Record(2, "Other", 0, 0);
    for (int i = 1; i <= 10; ++i) {
        file += Record(1, i < 10 ? std::to_string(i) : "", 0, 0);
    }
    ModalAnswerer answerer; // OK to the damaged subject's warning
    Open(file);
    RefreshResultsView(view_);
    ModalAnswerer::Seen.clear();
    HWND list = GetDlgItem(view_, IDC_VIEW_SEMESTER_LIST);
    const auto filter = [&](UINT message, WPARAM wParam, POINT at) {
        MSG sent{list, message, wParam, 0, 0, at};
        return CallMsgFilterA(&sent, MSGF_DIALOGBOX) != FALSE;
    };
    RECT row{};
    RECT listPlace{};
    GetWindowRect(GetDlgItem(view_, IDC_VIEW_ROW1_SUBJECT + 6), &row);
    GetWindowRect(list, &listPlace);
    EXPECT_FALSE(filter(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                        {listPlace.left + 2, listPlace.top + 2}));
    EXPECT_TRUE(filter(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), {row.left + 2, row.top + 2}));
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "4") << "the rows did not scroll";
    answerer.Keys({Up, Up, Up, Right, 'g', Down, Enter}); // the last subject's grade: A-
    EXPECT_TRUE(filter(WM_KEYDOWN, VK_APPS, {}));
    EXPECT_TRUE(filter(WM_KEYUP, VK_APPS, {})) << "the key's way up opens no second menu";
    answerer.Keys({'r'});
    answerer.Press(IDYES);
    Pointer(WM_RBUTTONUP, InRow(7));
    ASSERT_EQ(ModalAnswerer::Seen.size(), 3U);
    EXPECT_EQ(ModalAnswerer::Seen[0].Text, "1\t1 A>|2\t1 A>|3\t1 A>|4\t1 A>|5\t1 A>|6\t1 A>|7\t1 "
                                           "A>|8\t1 A>|9\t1 A>|(no name)\t1 A>|-|&Plan a target "
                                           "CGPA...|&Export for a spreadsheet...");
    EXPECT_EQ(ModalAnswerer::Seen[1].Text,
              "&Remove \"(no name)\"...|Re&name...|-|&Grade>A-|&Credits>1|"
              "&Semester>Semester 1");
    EXPECT_EQ(file_.Read(), file.substr(0, file.size() - Record(1, "", 0, 0).size()));
    EXPECT_EQ(Rows(), "3|4|5|6|7|8|9|");
    EXPECT_EQ(GetScrollPos(GetDlgItem(view_, IDC_VIEW_ROWS_SCROLL), SB_CTL), 2);
    Pointer(WM_RBUTTONUP, {5, 5});
    CurrentSemester = 7;
    filter(WM_KEYDOWN, VK_APPS, {});
    ASSERT_EQ(ModalAnswerer::Seen.size(), 5U);
    EXPECT_EQ(ModalAnswerer::Seen[3].Text, "&Plan a target CGPA...|&Export for a spreadsheet...");
    EXPECT_EQ(ModalAnswerer::Seen[4].Text, "&Plan a target CGPA...|&Export for a spreadsheet...");
}

// Rename gives a subject a new name where it is, replacing only its subject line (NUL bytes
// after what the view shows included), on the file as it was shown; or it says why not in an
// "Input Error" and the dialog stays with the text as typed; Escape then ends the dialog alone.
TEST_F(ViewTest, RenameGivesASubjectANewNameWhereItIsOrSaysWhyNot) {
    const std::string first = Record(1, "Algebra", 3, 0);
    const std::string rest = Record(2, "Optics", 0, 9);
    const auto with = [&](const std::string& subject) {
        return first + "Semester 2\n" + subject + "\n1\n4\n" + rest;
    };
    const std::string art = "Art & D\xe9sign";
    const std::string inserted = Record(2, "Inserted", 1, 1) + with(art);
    const std::string refused = "Rename subject|Input Error^|Rename subject|"; // ^: the dialog's
    const struct {
        std::string Subject; // as stored
        std::vector<std::string> Names;
        std::string Meanwhile;
        std::string After;
        const char* Row1;
        std::string Boxes; // captions after the menu, and what the dialog holds after a refusal
    } cases[] = {
        {art, {"Art and Design"}, "", with("Art and Design"), "Art and Design", "Rename subject|"},
        {art + '\0' + "logy", {"Art"}, "", with("Art"), "Art", "Rename subject|"},
        {art, {"成绩"}, "", with(art), "Art & Désign", refused + "成绩"},
        {art, {""}, "", with(art), "Art & Désign", refused + "[]"},
        {art, {"Art & Désign"}, "", with(art), "Art & Désign", "Rename subject|"},
        {art, {"Art and Design"}, inserted, inserted, "Inserted", "Rename subject|WARNING|"},
    };
    ModalAnswerer answerer;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        CurrentSemester = 1;
        Open(with(c.Subject));
        RefreshResultsView(view_);
        if (!c.Meanwhile.empty()) {
            file_.Write(c.Meanwhile);
        }
        // A file to be left as it is is read-only: a write would be refused with a warning.
        SetFileAttributesA(file_.Path.c_str(),
                           c.After == with(c.Subject) ? FILE_ATTRIBUTE_READONLY : 0);
        ModalAnswerer::Seen.clear();
        answerer.Keys({'n'});
        for (const std::string& name : c.Names) {
            answerer.Name(name);
        }
        Pointer(WM_RBUTTONUP, InRow(1));
        SetFileAttributesA(file_.Path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::string boxes; // each box belongs to the view, or to the dialog over it (^)
        for (std::size_t i = 1; i < ModalAnswerer::Seen.size(); ++i) {
            const Box& box = ModalAnswerer::Seen[i];
            boxes += box.Caption + (box.Owner == view_ ? "|" : "^|");
        }
        if (ModalAnswerer::Seen.size() > 2 && boxes.ends_with("Rename subject|")) {
            boxes += ModalAnswerer::Seen.back().Text; // as typed
        }
        EXPECT_EQ(boxes, c.Boxes);
        ASSERT_GE(ModalAnswerer::Seen.size(), 2U);
        EXPECT_EQ(ModalAnswerer::Seen[1].Text, "[Art & Désign]") << "the name shown, selected";
        EXPECT_EQ(file_.Read(), c.After);
        EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), c.Row1);
        EXPECT_FALSE(TakeQuitCode()) << "the dialog's Escape ended the program";
    }
}

// Export writes, after a byte order mark, exactly the CSV bytes of "gradewick-cli export
// --format csv" (pinned by the companion's own case) and says so; a write that fails says what
// happened and leaves the file that was there as it was.
TEST_F(ViewTest, ExportWritesTheCompanionsCsvForASpreadsheet) {
    std::ifstream golden("program_written_crlf.rst", std::ios::binary);
    std::ifstream pinned("export_program_written.csv", std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(golden), {}};
    const std::string csv{std::istreambuf_iterator<char>(pinned), {}};
    ASSERT_FALSE(csv.empty());
    TempFile out(".csv");
    const struct {
        const char* Before; // nullptr: no file there
        const char* Fault;
        std::string After;
        const char* Said;
    } cases[] = {
        {nullptr, "", "\xef\xbb\xbf" + csv, "Gradewick|Exported 10 subjects to "},
        {"old", "write", "old", "WARNING|The subjects could not be exported:\n\n"},
    };
    ModalAnswerer answerer;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fault);
        Open(file);
        RefreshResultsView(view_);
        DeleteFileA(out.Path.c_str());
        if (c.Before != nullptr) {
            out.Write(c.Before);
        }
        ModalAnswerer::Seen.clear();
        InjectRewriteFault(c.Fault);
        answerer.Keys({'e'});
        answerer.Name(out.Path);
        answerer.Press(IDYES); // to the question before an existing file is replaced
        Pointer(WM_RBUTTONUP, {5, 5});
        InjectRewriteFault("");
        EXPECT_EQ(out.Read(), c.After);
        const std::string said = c.Said;
        ASSERT_GE(ModalAnswerer::Seen.size(), 3U);
        const Box& box = ModalAnswerer::Seen.back();
        EXPECT_EQ(box.Caption, said.substr(0, said.find('|')));
        EXPECT_EQ(box.Text.rfind(said.substr(said.find('|') + 1) + out.Path, 0), 0U) << box.Text;
        EXPECT_EQ(ModalAnswerer::Seen[1].Owner, view_) << "Save As belongs to the view";
    }
}

TEST_F(ViewTest, TabRectanglesAreInclusiveAndScaled) {
    Open(Record(1, "Algebra", 3, 0));
    const DialogScale scale = ScaleOf(view_);
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        const TabRectangle r = TabHitRectangle(tab, scale);
        EXPECT_EQ(HitTab(r.Left, r.Top, -1, scale), tab);
        EXPECT_EQ(HitTab(r.Right, r.Bottom, -1, scale), tab);
        EXPECT_EQ(HitTab(r.Left - 1, r.Top, -1, scale), 0) << tab;
        EXPECT_EQ(HitTab(r.Right, r.Bottom + 1, -1, scale), 0) << tab;
        EXPECT_EQ(HitTab(r.Left, r.Top, tab - 1, scale), 0) << "the current tab is hit";
    }
    EXPECT_EQ(TabHitRectangle(8, DialogScale{7, 13}).Left, 347); // 346.5 rounded
    EXPECT_EQ(TabHitRectangle(1, DialogScale{6, 26}).Bottom, 72);
}

// Long subjects that begin alike: each cell shows one line ("&" as it is), cut short with "..."
// before the credits, and the whole subject in a tooltip while the pointer rests on it.
TEST_F(ViewTest, ALongSubjectShowsOnOneLineAndWholeInItsTooltip) {
    const std::string second = "Introduction to Theoretical Computer Science II";
    Open(Record(1, "Introduction to Theoretical Computer Science I", 3, 0) +
         Record(1, second, 3, 0));
    RefreshResultsView(view_);
    for (int row = 0; row < 7; ++row) {
        HWND cell = GetDlgItem(view_, IDC_VIEW_ROW1_SUBJECT + row);
        RECT subject{};
        RECT credits{};
        GetWindowRect(cell, &subject);
        GetWindowRect(GetDlgItem(view_, IDC_VIEW_ROW1_CREDITS + row), &credits);
        EXPECT_LE(subject.right, credits.left) << "row " << row + 1 << " runs into its credits";
        EXPECT_EQ(GetWindowLongA(cell, GWL_STYLE) & (SS_TYPEMASK | SS_ENDELLIPSIS | SS_NOPREFIX),
                  SS_ENDELLIPSIS | SS_NOPREFIX)
            << "row " << row + 1 << " wraps, or shows \"Art & Design\" as \"Art _Design\"";
    }
    HWND tip = nullptr;
    do {
        tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr);
    } while (tip != nullptr && GetWindow(tip, GW_OWNER) != view_);
    POINT at = InRow(2);
    ClientToScreen(view_, &at);
    SetCursorPos(at.x, at.y); // where the tooltip looks whether the pointer still rests
    PumpMessages();
    Pointer(WM_MOUSEMOVE, InRow(2));
    for (int wait = 0; wait < 100 && !IsWindowVisible(tip); ++wait) {
        Sleep(20);
        PumpMessages();
    }
    char text[64] = "";
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(tool.uId, static_cast<UINT_PTR>(IDC_VIEW_ROW1_SUBJECT + 1));
    EXPECT_EQ(std::string(text), second);
}

// The strip after tick t of an undisturbed opening: one picture runs right and back, then the
// tabs fill from the left and empty from the right.
std::string Undisturbed(int t) {
    std::string strip;
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        const bool on = t <= 7    ? tab == t + 1
                        : t <= 14 ? tab == 15 - t
                        : t <= 21 ? tab <= t - 13
                                  : tab <= 29 - t;
        strip += on ? 'S' : 'U';
    }
    return strip;
}

TEST_F(ViewTest, TheOpeningAnimationThenTheResultsThenTheBlink) {
    CurrentSemester = 2;
    Open(Record(1, "Algebra", 3, 0) + Record(3, "Physics", 2, 3));
    for (int t = 0; t < 30; ++t) {
        ASSERT_EQ(Strip(), Undisturbed(t)) << "tick " << t;
        ASSERT_EQ(ControlText(view_, IDC_VIEW_GPA), "") << "results shown at tick " << t;
        ASSERT_EQ(Verdict(), 0) << "tick " << t;
        Tick();
    }
    EXPECT_EQ(Strip(), Resting(3));
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Physics");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "3.00");
    EXPECT_EQ(Verdict(), IDC_VIEW_BAD);
    for (int t = 31; t <= 34; ++t) {
        Tick();
        EXPECT_EQ(Strip(), t % 2 == 1 ? "UUUUUUUU" : Resting(3)) << "tick " << t;
    }
    // Hover, leave, press: the hover look comes and goes, and the blink moves to the new tab.
    Pointer(WM_MOUSEMOVE, InTab(5));
    EXPECT_EQ(Strip(), "UUSUHUUU");
    Pointer(WM_MOUSEMOVE, {30, 200});
    EXPECT_EQ(Strip(), Resting(3));
    Pointer(WM_LBUTTONDOWN, InTab(6));
    EXPECT_EQ(CurrentSemester, 5);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "");
    EXPECT_EQ(Verdict(), IDC_VIEW_NORMAL);
    Tick(2);
    EXPECT_EQ(Strip(), Resting(6)) << "the new tab blinks";
    Tick();
    EXPECT_EQ(Strip(), "UUUUUUUU");

    // Add Subject ends the view and plays the animation anew next time; the entry screen files
    // the next subject under the semester of the tab pressed.
    SendCommand(view_, IDC_VIEW_ADD_SUBJECT);
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);
    EXPECT_EQ(AnimationPhase, PhaseRunRight);
    EXPECT_EQ(AnimationStep, 0);
    HWND entry = CreateScreen(IDD_SUBJECT_ENTRY);
    EXPECT_EQ(ControlText(entry, IDC_ENTRY_SEMESTER), "Semester 6");
    EXPECT_TRUE(ControlEnabled(entry, IDC_ENTRY_VIEW_CGPA));
    SetDlgItemTextA(entry, IDC_ENTRY_SUBJECT, "Optics");
    SendCommand(entry, IDC_ENTRY_INSERT);
    DestroyWindow(entry);
    EXPECT_EQ(file_.Read(),
              Record(1, "Algebra", 3, 0) + Record(3, "Physics", 2, 3) + Record(6, "Optics", 0, 0));
}

TEST_F(ViewTest, TheResultsComeOnTimeWhateverStoppedTheOpening) {
    Open(Record(1, "Algebra", 3, 0));
    Tick(2);
    Pointer(WM_MOUSEMOVE, InTab(3)); // hides the moving picture: no row matches any more
    Tick(27);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "");
    Tick();
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "4.00");
    EXPECT_EQ(Verdict(), IDC_VIEW_GOOD);
}

TEST_F(ViewTest, TheRealTimerKeepsAnimatingBehindTheAboutScreen) {
    Open(Record(1, "Algebra", 3, 0), DialogFunc3);
    static HWND aboutOwner = nullptr;
    SetTimer(nullptr, 0, 1200, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        HWND about = FindScreen(IDC_ABOUT_PICTURE);
        aboutOwner = GetWindow(about, GW_OWNER);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    });
    SendCommand(view_, IDC_ABOUT_BUTTON); // returns when the About screen closes
    EXPECT_EQ(aboutOwner, view_) << "an About screen the view can cover";
    KillTimer(nullptr, ViewTimerId);
    const std::string strip = Strip();
    EXPECT_FALSE(ControlVisible(view_, SelectedPicture(1))) << "no tick behind About: " << strip;
    EXPECT_EQ(std::count(strip.begin(), strip.end(), 'S'), 1) << strip;
}

} // namespace
