// The subject entry screen from its real template, driven as a user would; what reached the
// file is read back.
#include <optional>

#include "harness.h"
#include "locked_file.h"
#include "rewrite_faults.h"

namespace {

class EntryTest : public testing::Test {
  protected:
    void SetUp() override {
        lstrcpynA(ResultFilePath, file_.Path.c_str(), ResultFilePathSize);
        IsNewFile = 1;
        CurrentSemester = 0;
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        TakeQuitCode();
        TakePendingScreen();
    }
    void Open() { dialog_ = CreateScreen(IDD_SUBJECT_ENTRY); }
    // WM_SETTEXT on the edit sends EN_CHANGE to the dialog, as typing does.
    void Type(const std::string& subject) const {
        SetDlgItemTextA(dialog_, IDC_ENTRY_SUBJECT, subject.c_str());
    }
    void Choose(int listId, int index) const {
        SendDlgItemMessageA(dialog_, listId, CB_SETCURSEL, index, 0);
        SendCommand(dialog_, listId, CBN_SELCHANGE);
    }
    // Enter in the subject field, taken by the dialog manager as a key press is.
    void PressEnter() const {
        MSG enter{GetDlgItem(dialog_, IDC_ENTRY_SUBJECT), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        IsDialogMessageA(dialog_, &enter);
    }
    void Insert(const std::string& subject) const {
        Type(subject);
        SendCommand(dialog_, IDC_ENTRY_INSERT);
    }
    TempFile file_;
    HWND dialog_ = nullptr;
};

TEST_F(EntryTest, ANewFileIsStartedAfreshOnceAndTheButtonsFollow) {
    file_.Write(Record(8, "Old", 3, 0));
    Open();
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SEMESTER), "Semester 1");
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    Type("Physics");
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA)) << "nothing to view yet";
    Choose(IDC_ENTRY_CREDITS, 3);
    Choose(IDC_ENTRY_GRADE, 1);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_GRADE_POINT), "3.7");
    PressEnter(); // Insert while the field holds a subject
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), "");
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    Insert("Chemistry");
    EXPECT_EQ(file_.Read(), Record(1, "Physics", 3, 1) + Record(1, "Chemistry", 3, 1));
    PressEnter(); // View CGPA once the field is empty
    EXPECT_EQ(TakePendingScreen(), IDD_RESULTS_VIEW);
}

TEST_F(EntryTest, AtMost49CharactersAreTypedOrWritten) {
    Open();
    for (int i = 0; i < 60; ++i) {
        SendDlgItemMessageA(dialog_, IDC_ENTRY_SUBJECT, WM_CHAR, 'l', 1);
    }
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), std::string(49, 'l'));
    Insert(std::string(60, 'i'));
    EXPECT_EQ(file_.Read(), Record(1, std::string(49, 'i'), 0, 0));
}

// Insert, which Enter presses while the field holds text, stores what is typed in the system's
// code page (Wine's 1252), as subjects always were, on a line of its own, or says why not in a
// box, writing nothing and keeping the text: a subject the code page cannot hold (the characters
// named, no best-fit stand-in: "ā" is not "a"), a file that holds the 100 subjects the results
// view counts already, a read-only file, a file that another program or another writer holds, a
// write that fails (and is cut back, or says that it could not be).
TEST_F(EntryTest, InsertStoresASubjectOrSaysWhyNot) {
    const std::string kept = Record(2, "Kept", 1, 2);
    std::string full;
    for (int i = 0; i < 100; ++i) {
        full += Record(1, "S", 0, 0);
    }
    const std::string ninetyNine = full.substr(Record(1, "S", 0, 0).size());
    const std::string last = Record(1, "Last", 0, 0);
    const std::string cutShort = kept + "Semester 1\r\nBio";
    const struct {
        std::string Before;
        int NewFile;
        const wchar_t* Typed;
        std::string After;
        const char* Said;      // the box's caption and what its text holds; "" for no box
        const char* Meanwhile; // "share": another program holds the file, "locked": another
                               // writer, "readonly", or a fault of the append
    } cases[] = {
        {kept, 0, L"Crème Ökonomie", kept + Record(1, "Cr\xe8me \xd6konomie", 0, 0), "", ""},
        {kept, 0, L"成绩 ā notes 成", kept,
         "Input Error|:\n\n成 (U+6210), 绩 (U+7EE9), ā (U+0101)\n", ""},
        {ninetyNine, 0, L"Last", ninetyNine + last, "", ""},
        {full, 0, L"Last", full, "WARNING|is full", ""},
        {full, 1, L"Last", last, "", ""}, // a new file starts afresh
        {cutShort, 0, L"Last", cutShort + "\r\n" + last, "", ""},
        {kept, 0, L"Last", kept, "WARNING|is read-only", "readonly"},
        {kept, 0, L"Last", kept, "WARNING|in use by another window or program", "locked"},
        {kept, 0, L"Last", kept, "WARNING|Nothing was written: the file is as it was", "append"},
        {kept, 0, L"Last", kept + last.substr(0, last.size() / 2), "WARNING|may now end with part",
         "append-cut"},
        {kept, 1, L"Statistics", kept, "WARNING|could not be saved", "share"},
    };
    ModalAnswerer answerer;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << &c - cases);
        file_.Write(c.Before);
        IsNewFile = c.NewFile;
        ModalAnswerer::Seen.clear();
        Open();
        const std::string meanwhile = c.Meanwhile;
        HANDLE holder = meanwhile == "share"
                            ? CreateFileA(file_.Path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr)
                            : INVALID_HANDLE_VALUE;
        std::optional<LockedFile> writer;
        if (meanwhile == "locked") {
            writer.emplace(file_.Path, false);
        }
        SetFileAttributesA(file_.Path.c_str(),
                           meanwhile == "readonly" ? FILE_ATTRIBUTE_READONLY : 0);
        InjectRewriteFault(meanwhile.starts_with("append") ? meanwhile : "");
        PressUnder(MessageTextId, dialog_, IDC_ENTRY_INSERT); // again, under its own box
        SetDlgItemTextW(dialog_, IDC_ENTRY_SUBJECT, c.Typed);
        PressEnter();
        InjectRewriteFault("");
        SetFileAttributesA(file_.Path.c_str(), FILE_ATTRIBUTE_NORMAL);
        writer.reset();
        CloseHandle(holder);
        EXPECT_EQ(file_.Read(), c.After);
        ASSERT_EQ(ModalAnswerer::Seen.size(), *c.Said == '\0' ? 0U : 1U);
        EXPECT_EQ(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA), c.NewFile == 0 || *c.Said == '\0');
        if (*c.Said != '\0') {
            const std::string said = c.Said;
            EXPECT_EQ(ModalAnswerer::Seen[0].Caption, said.substr(0, said.find('|')));
            EXPECT_EQ(ModalAnswerer::Seen[0].Owner, dialog_) << "a box the screen can cover";
            EXPECT_NE(ModalAnswerer::Seen[0].Text.find(said.substr(said.find('|') + 1)),
                      std::string::npos)
                << ModalAnswerer::Seen[0].Text;
            wchar_t field[64] = L"";
            GetDlgItemTextW(dialog_, IDC_ENTRY_SUBJECT, field, ARRAYSIZE(field));
            EXPECT_STREQ(field, c.Typed);
            EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
        }
        if (meanwhile == "share") { // the next Enter succeeds, and still starts the file afresh
            PressEnter();
            EXPECT_EQ(file_.Read(), Record(1, "Statistics", 0, 0));
        }
        DestroyWindow(dialog_);
    }
}

} // namespace
