// The file selection screen with the real Save As and Open dialogs, answered by the harness.
#include <cstring>

#include "file_select.h"
#include "harness.h"

namespace {

TEST(FileSelectRules, SaveAsTakesNewNamesAndOpenWantsDotRstAnywhere) {
    OPENFILENAMEW saveAs;
    OPENFILENAMEW open;
    FillFileDialogRecord(saveAs, FileDialogKind::SaveAs);
    FillFileDialogRecord(open, FileDialogKind::Open);
    EXPECT_EQ(saveAs.Flags & OFN_FILEMUSTEXIST, 0U);
    EXPECT_NE(saveAs.Flags & OFN_PATHMUSTEXIST, 0U);
    EXPECT_NE(open.Flags & OFN_FILEMUSTEXIST, 0U);
    const struct {
        const char* Name;
        bool Taken;
    } names[] = {{"C:\\a\\b.rst", true},  {"C:\\x.rst.d\\b.txt", true}, {"C:\\b.rstx", true},
                 {"C:\\a\\B.RST", false}, {"C:\\a\\b.rs", false},       {"C:\\a\\brst", false}};
    for (const auto& name : names) {
        EXPECT_EQ(IsResultFileName(name.Name), name.Taken) << name.Name;
    }
    // A name too long for the dialog's buffer is said plainly; another failure by its code.
    const std::string tooLong = FileDialogErrorText(FileDialogKind::SaveAs, FNERR_BUFFERTOOSMALL);
    EXPECT_NE(tooLong.find("too long: with its folder, a result file's name may have at most 259 "
                           "characters"),
              std::string::npos);
    EXPECT_EQ(FileDialogErrorText(FileDialogKind::Open, FNERR_BUFFERTOOSMALL), tooLong);
    EXPECT_EQ(FileDialogErrorText(FileDialogKind::Open, CDERR_DIALOGFAILURE),
              "GetOpenFileName returned Error #65535");
}

class FileSelectTest : public testing::Test {
  protected:
    void SetUp() override {
        std::strcpy(ResultFilePath, "C:\\earlier.rst");
        IsNewFile = -1;
        screen_ = CreateScreen(IDD_FILE_SELECT);
    }
    void TearDown() override {
        DestroyWindow(screen_);
        TakePendingScreen();
        TakeQuitCode();
    }
    // Chooses "New file" or "Existing file" as a click does, then presses OK.
    void ChooseAndPressOk(int choice) {
        SendDlgItemMessageA(screen_, choice, BM_CLICK, 0, 0);
        SendCommand(screen_, IDC_FILE_OK);
        PumpMessages();
    }
    ModalAnswerer answerer_;
    HWND screen_ = nullptr;
};

TEST_F(FileSelectTest, ANewFileIsNamedInSaveAsAndGetsTheExtension) {
    TempFile file("");
    TempFile withExtension(".rst");
    withExtension.Path = file.Path + ".rst";
    answerer_.Name(file.Path);
    ChooseAndPressOk(IDC_FILE_NEW);
    ASSERT_EQ(ModalAnswerer::Seen.size(), 1U);
    EXPECT_EQ(ModalAnswerer::Seen[0].Caption, "Select a file");
    EXPECT_EQ(ModalAnswerer::Seen[0].Owner, screen_) << "a dialog the screen can cover";
    EXPECT_EQ(std::string(ResultFilePath), withExtension.Path);
    EXPECT_EQ(IsNewFile, 1);
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);
    EXPECT_FALSE(IsWindowVisible(screen_));
    EXPECT_EQ(GetFileAttributesA(ResultFilePath), INVALID_FILE_ATTRIBUTES) << "written too soon";
}

TEST_F(FileSelectTest, ACancelledDialogKeepsThePathAndTheLongestNameIsTaken) {
    ChooseAndPressOk(IDC_FILE_NEW); // no name queued: cancelled
    ChooseAndPressOk(IDC_FILE_EXISTING);
    ASSERT_EQ(ModalAnswerer::Seen.size(), 2U);
    EXPECT_STREQ(ResultFilePath, "C:\\earlier.rst");
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_TRUE(IsWindowVisible(screen_));
    // 259 characters, folder included: the longest path a dialog can give.
    TempFile longName("");
    longName.Path += std::string(259 - 4 - longName.Path.size(), 'x') + ".rst";
    longName.Write("Semester 1\r\n");
    answerer_.Name(longName.Path);
    SendCommand(screen_, IDC_FILE_OK);
    EXPECT_EQ(std::string(ResultFilePath), longName.Path);
    EXPECT_EQ(IsNewFile, 0);
    EXPECT_EQ(TakePendingScreen(), IDD_RESULTS_VIEW);
}

// OK does nothing while its file dialog or a box is up; a name with ".rst" only in capitals is
// refused.
TEST_F(FileSelectTest, OkDoesNothingWhileItsFileDialogOrABoxIsUp) {
    TempFile file;
    PressUnder(FileNameId, screen_, IDC_FILE_OK);
    answerer_.Name(file.Path);
    ChooseAndPressOk(IDC_FILE_NEW);
    EXPECT_EQ(ModalAnswerer::Seen.size(), 1U) << "a second file dialog";
    EXPECT_EQ(std::string(ResultFilePath), file.Path);
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);

    ModalAnswerer::Seen.clear();
    TempFile capitals(".RST");
    capitals.Write(Record(1, "Art", 0, 0));
    PressUnder(MessageTextId, screen_, IDC_FILE_OK); // under "Input Error"
    answerer_.Name(capitals.Path);
    ChooseAndPressOk(IDC_FILE_EXISTING);
    ASSERT_EQ(ModalAnswerer::Seen.size(), 2U) << "a second flow under the box";
    EXPECT_EQ(ModalAnswerer::Seen[1].Caption, "Input Error");
    EXPECT_EQ(ModalAnswerer::Seen[1].Text, "The Filename you have entered is an invalid .rst file");
    EXPECT_EQ(TakePendingScreen(), 0);
}

} // namespace
