// The subject entry screen from its real template, driven as a user would; what reached the
// file is read back.
#include "harness.h"

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
    SendCommand(dialog_, IDC_ENTRY_INSERT);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), "");
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    Insert("Chemistry");
    EXPECT_EQ(file_.Read(), Record(1, "Physics", 3, 1) + Record(1, "Chemistry", 3, 1));

    // Opened from the results view: the semester chosen there, and the file appended to.
    DestroyWindow(dialog_);
    IsNewFile = 0;
    CurrentSemester = 2;
    Open();
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SEMESTER), "Semester 3");
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    Insert("Algebra");
    EXPECT_EQ(file_.Read(), Record(1, "Physics", 3, 1) + Record(1, "Chemistry", 3, 1) +
                                Record(3, "Algebra", 0, 0));
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

// Subjects are stored in the system's code page (Wine's 1252) as they always were; one that it
// cannot hold is refused, naming the characters (no best-fit stand-in: "ā" is not "a").
TEST_F(EntryTest, ASubjectIsStoredInTheCodePageOrRefusedNamingWhatItCannotHold) {
    const std::string kept = Record(2, "Kept", 1, 2);
    const struct {
        const wchar_t* Typed;
        std::string Stored; // "": refused
        const char* Named;
    } cases[] = {
        {L"Crème Ökonomie", "Cr\xe8me \xd6konomie", ""},
        {L"成绩 ā notes 成", "", "成 (U+6210), 绩 (U+7EE9), ā (U+0101)\n"},
    };
    ModalAnswerer answerer;
    IsNewFile = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Named);
        file_.Write(kept);
        ModalAnswerer::Seen.clear();
        Open();
        SetDlgItemTextW(dialog_, IDC_ENTRY_SUBJECT, c.Typed);
        SendCommand(dialog_, IDC_ENTRY_INSERT);
        wchar_t field[64] = L"";
        GetDlgItemTextW(dialog_, IDC_ENTRY_SUBJECT, field, ARRAYSIZE(field));
        if (!c.Stored.empty()) {
            EXPECT_EQ(file_.Read(), kept + Record(1, c.Stored, 0, 0));
            EXPECT_TRUE(ModalAnswerer::Seen.empty());
        } else {
            EXPECT_EQ(file_.Read(), kept);
            ASSERT_EQ(ModalAnswerer::Seen.size(), 1U);
            EXPECT_EQ(ModalAnswerer::Seen[0].Caption, "Input Error");
            EXPECT_NE(ModalAnswerer::Seen[0].Text.find(std::string(":\n\n") + c.Named),
                      std::string::npos)
                << ModalAnswerer::Seen[0].Text;
            EXPECT_STREQ(field, c.Typed);
            EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
        }
        DestroyWindow(dialog_);
    }
}

TEST_F(EntryTest, ARefusedWriteIsReportedOnceAndLosesNothing) {
    const std::string kept = Record(2, "Kept", 1, 2);
    file_.Write(kept);
    Open();
    ModalAnswerer answerer;
    HANDLE holder = CreateFileA(file_.Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    PressUnder(MessageTextId, dialog_, IDC_ENTRY_INSERT); // pressed again under its warning
    Insert("Statistics");
    CloseHandle(holder);
    ASSERT_EQ(ModalAnswerer::Seen.size(), 1U);
    EXPECT_EQ(ModalAnswerer::Seen[0].Caption, "WARNING");
    EXPECT_NE(ModalAnswerer::Seen[0].Text.find(file_.Path), std::string::npos);
    EXPECT_EQ(file_.Read(), kept);
    EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), "Statistics");
    EXPECT_TRUE(ControlEnabled(dialog_, IDC_ENTRY_INSERT));
    EXPECT_FALSE(ControlEnabled(dialog_, IDC_ENTRY_VIEW_CGPA));
    // The next press succeeds and still starts the file afresh.
    SendCommand(dialog_, IDC_ENTRY_INSERT);
    EXPECT_EQ(file_.Read(), Record(1, "Statistics", 0, 0));
    EXPECT_EQ(ModalAnswerer::Seen.size(), 1U);
}

TEST_F(EntryTest, AFileOfAHundredSubjectsTakesNoMore) {
    std::string ninetyNine;
    for (int i = 0; i < 99; ++i) {
        ninetyNine += Record(1, "S", 0, 0);
    }
    const struct {
        int Records;
        int NewFile;
        bool Taken;
    } cases[] = {{99, 0, true}, {100, 0, false}, {100, 1, true}};
    ModalAnswerer answerer;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Records << " records, new file " << c.NewFile);
        const std::string before = ninetyNine + (c.Records == 100 ? Record(2, "T", 1, 1) : "");
        file_.Write(before);
        IsNewFile = c.NewFile;
        ModalAnswerer::Seen.clear();
        Open();
        Insert("Last");
        if (c.Taken) {
            EXPECT_EQ(file_.Read(), (c.NewFile == 1 ? "" : before) + Record(1, "Last", 0, 0));
            EXPECT_TRUE(ModalAnswerer::Seen.empty());
        } else {
            EXPECT_EQ(file_.Read(), before);
            ASSERT_EQ(ModalAnswerer::Seen.size(), 1U);
            EXPECT_NE(ModalAnswerer::Seen[0].Text.find("is full"), std::string::npos);
            EXPECT_EQ(ControlText(dialog_, IDC_ENTRY_SUBJECT), "Last");
        }
        DestroyWindow(dialog_);
    }
}

} // namespace
