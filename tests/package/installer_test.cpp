// The Windows installer end to end: it runs silently into a temporary folder, the installed
// program starts and is worked from outside, the Start menu shortcut and the "Apps & features"
// entry name the install, a second run upgrades in place, and the uninstaller removes what the
// installer put there and nothing else, saying what it could not remove.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "gradewick_version.h"

namespace {

constexpr char UninstallKey[] = R"(Software\Microsoft\Windows\CurrentVersion\Uninstall\Gradewick)";
constexpr char UninstallerName[] = "Uninstall Gradewick.exe";
constexpr DWORD SetupTimeout = 60000;
constexpr DWORD ProgramStartTimeout = 20000; // the splash alone lasts 3 s

// What the release holds, at the top of the install folder.
const std::set<std::string> PackageFiles = {"gradewick.exe", "gradewick-cli.exe", "example.rst",
                                            "README.txt"};

// Windows path of a file CTest names by its Linux path (Wine's drive Z: is the root).
std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string InstallerPath() {
    return WindowsPath(std::string(GRADEWICK_PACKAGE_DIR) + "/" + GRADEWICK_PACKAGE_FILE_NAME +
                       ".exe");
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.insert(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::set<std::string> With(std::set<std::string> names, std::initializer_list<const char*> more) {
    names.insert(more.begin(), more.end());
    return names;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A value of the uninstall entry, or nothing if the entry or the value is missing.
std::optional<std::string> EntryValue(const char* name) {
    char value[1024] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, UninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(value);
}

bool EntryExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string ShortcutPath() {
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\Gradewick.lnk";
}

struct Shortcut {
    std::string target;
    std::string workingDirectory;
    std::string iconFile;
    int iconIndex = -1;
};

// Resolves a .lnk file with IShellLinkA, as Explorer does; nothing if it cannot be read.
std::optional<Shortcut> ReadShortcut(const std::string& path) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return std::nullopt;
    }
    std::optional<Shortcut> result;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t widePath[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
            Shortcut shortcut;
            char text[MAX_PATH] = "";
            if (link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) {
                shortcut.target = text;
            }
            text[0] = '\0';
            if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) {
                shortcut.workingDirectory = text;
            }
            text[0] = '\0';
            if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &shortcut.iconIndex))) {
                shortcut.iconFile = text;
            }
            result = shortcut;
        }
        file->Release();
    }
    link->Release();
    return result;
}

// The FILEVERSION of an executable's VERSIONINFO as "major.minor.patch".
std::string FileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return "";
    }
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) ||
        info == nullptr) {
        return "";
    }
    std::ostringstream version;
    version << HIWORD(info->dwFileVersionMS) << "." << LOWORD(info->dwFileVersionMS) << "."
            << HIWORD(info->dwFileVersionLS);
    return version.str();
}

// A process and every process it starts, in one job object. The uninstaller copies itself to
// the temporary folder and runs the copy, so the process started returns at once: the job tells
// when the copy has ended too, and its exit code.
class ProcessTree {
  public:
    ProcessTree()
        : job_(CreateJobObjectA(nullptr, nullptr)),
          port_(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT association = {};
        association.CompletionKey = job_;
        association.CompletionPort = port_;
        SetInformationJobObject(job_, JobObjectAssociateCompletionPortInformation, &association,
                                sizeof association);
    }
    ~ProcessTree() {
        if (!finished_) {
            TerminateJobObject(job_, 1);
        }
        for (HANDLE process : processes_) {
            CloseHandle(process);
        }
        CloseHandle(port_);
        CloseHandle(job_);
    }
    ProcessTree(const ProcessTree&) = delete;
    ProcessTree& operator=(const ProcessTree&) = delete;

    bool Start(const std::string& commandLine) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string line = commandLine;
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                            nullptr, nullptr, &startup, &process)) {
            return false;
        }
        AssignProcessToJobObject(job_, process.hProcess);
        processes_.push_back(process.hProcess);
        processIds_.insert(process.dwProcessId);
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        return true;
    }

    // Takes the job's notices waiting at most milliseconds for the first; true once every
    // process of the tree has ended.
    bool Poll(DWORD milliseconds = 0) {
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED detail = nullptr;
        while (!finished_ &&
               GetQueuedCompletionStatus(port_, &message, &key, &detail, milliseconds)) {
            milliseconds = 0;
            const auto processId = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
            if (message == JOB_OBJECT_MSG_NEW_PROCESS && processIds_.insert(processId).second) {
                HANDLE process =
                    OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
                if (process != nullptr) {
                    processes_.push_back(process);
                }
            } else if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
                finished_ = true;
            }
        }
        return finished_;
    }

    // Waits for every process of the tree to end; the largest exit code among them, or
    // nothing at the timeout.
    std::optional<DWORD> Wait(DWORD timeoutMilliseconds = SetupTimeout) {
        const std::uint64_t deadline = e2e::NowMilliseconds() + timeoutMilliseconds;
        while (!Poll(e2e::PollMilliseconds)) {
            if (e2e::NowMilliseconds() > deadline) {
                return std::nullopt;
            }
        }
        DWORD worst = 0;
        for (HANDLE process : processes_) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            worst = std::max(worst, code);
        }
        return worst;
    }

    std::size_t ProcessCount() const { return processIds_.size(); }

    // Visible dialogs ("#32770") of the tree's processes.
    std::vector<HWND> Dialogs() {
        Poll();
        struct Search {
            const std::set<DWORD>* processIds;
            std::vector<HWND> found;
        } search{&processIds_, {}};
        EnumWindows(
            [](HWND window, LPARAM parameter) -> BOOL {
                // EnumWindows hands back the pointer it was given.
                auto* search =
                    reinterpret_cast<Search*>(parameter); // NOLINT(performance-no-int-to-ptr)
                DWORD processId = 0;
                GetWindowThreadProcessId(window, &processId);
                if (search->processIds->count(processId) != 0 && IsWindowVisible(window) &&
                    e2e::ClassName(window) == "#32770") {
                    search->found.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

  private:
    HANDLE job_ = nullptr;
    HANDLE port_ = nullptr;
    std::vector<HANDLE> processes_;
    std::set<DWORD> processIds_;
    bool finished_ = false;
};

// Runs a command line to its end (with every process it starts); the worst exit code.
std::optional<DWORD> RunToEnd(const std::string& commandLine) {
    ProcessTree tree;
    if (!tree.Start(commandLine)) {
        ADD_FAILURE() << "could not start " << commandLine;
        return std::nullopt;
    }
    return tree.Wait();
}

std::optional<DWORD> Install(const std::optional<std::string>& folder = std::nullopt) {
    std::string commandLine = "\"" + InstallerPath() + "\" /S";
    if (folder) {
        commandLine += " /D=" + *folder; // /D= comes last and is never quoted
    }
    return RunToEnd(commandLine);
}

// The uninstaller as "Apps & features" starts it: the entry's command line.
std::optional<DWORD> UninstallSilently() {
    const std::optional<std::string> command = EntryValue("QuietUninstallString");
    if (!command) {
        ADD_FAILURE() << "the uninstall entry has no QuietUninstallString";
        return std::nullopt;
    }
    return RunToEnd(*command);
}

// Standard output of a command line run to its end.
std::string OutputOf(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return "";
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) && count > 0) {
            output.append(buffer, count);
        }
        WaitForSingleObject(process.hProcess, SetupTimeout);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return output;
}

class PackageTest : public testing::Test {
  protected:
    void SetUp() override {
        // Wine would mirror each Start menu shortcut into the Linux desktop menu.
        std::string overrides = "mscoree,mshtml=;winemenubuilder.exe=d";
        SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides.c_str());
        CoInitialize(nullptr);
        ASSERT_FALSE(EntryExists()) << "an earlier run left Gradewick installed";
        base_ = e2e::TemporaryPath("-package");
        ASSERT_TRUE(CreateDirectoryA(base_.c_str(), nullptr)) << base_;
        folder_ = NewFolder();
    }

    void TearDown() override {
        for (const std::string& folder : folders_) {
            if (e2e::FileExists(folder + "\\" + UninstallerName)) {
                RunToEnd("\"" + folder + "\\" + UninstallerName + "\" /S");
            }
            for (const std::string& name : FilesIn(folder)) {
                std::string path = folder + "\\";
                path += name;
                DeleteFileA(path.c_str());
            }
            RemoveDirectoryA(folder.c_str());
        }
        RemoveDirectoryA(base_.c_str());
        CoUninitialize();
    }

    // A folder for an install, not yet made.
    std::string NewFolder() {
        // A space in the path, as in most user names.
        folders_.push_back(base_ + "\\install " + std::to_string(folders_.size()));
        return folders_.back();
    }

    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

    // Everything an install puts in place is there and the entry and shortcut name it.
    void ExpectInstalledIn(const std::string& folder) {
        const std::set<std::string> present = FilesIn(folder);
        for (const std::string& name : With(PackageFiles, {UninstallerName})) {
            EXPECT_EQ(present.count(name), 1u) << name << " is missing from " << folder;
        }
        EXPECT_EQ(EntryValue("InstallLocation").value_or("(none)"), folder);
        EXPECT_EQ(EntryValue("UninstallString").value_or("(none)"),
                  "\"" + folder + "\\" + UninstallerName + "\"");
        const std::optional<Shortcut> shortcut = ReadShortcut(ShortcutPath());
        ASSERT_TRUE(shortcut.has_value()) << "no Start menu shortcut at " << ShortcutPath();
        EXPECT_EQ(shortcut->target, folder + "\\gradewick.exe");
    }

    std::string base_;
    std::string folder_;
    std::vector<std::string> folders_;
};

TEST_F(PackageTest, InstallsRunsAndUninstallsLeavingTheUsersFiles) {
    ASSERT_EQ(Install(folder_), 0u);

    ExpectInstalledIn(folder_);
    EXPECT_EQ(FilesIn(folder_), With(PackageFiles, {UninstallerName}));
    EXPECT_EQ(EntryValue("DisplayName").value_or("(none)"), "Gradewick");
    EXPECT_EQ(EntryValue("DisplayVersion").value_or("(none)"), GRADEWICK_VERSION_STRING);
    EXPECT_EQ(EntryValue("DisplayIcon").value_or("(none)"), Path("gradewick.exe") + ",0");
    const std::optional<Shortcut> shortcut = ReadShortcut(ShortcutPath());
    ASSERT_TRUE(shortcut.has_value());
    EXPECT_EQ(shortcut->iconFile, Path("gradewick.exe"));
    EXPECT_EQ(shortcut->iconIndex, 0);
    // New result files are best kept in Documents, not among the program's files.
    char documents[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
    EXPECT_EQ(shortcut->workingDirectory, documents);

    // One version number: the program's VERSIONINFO and the companion's --version agree
    // with the package.
    EXPECT_EQ(FileVersion(Path("gradewick.exe")), GRADEWICK_VERSION_STRING);
    EXPECT_NE(
        OutputOf("\"" + Path("gradewick-cli.exe") + "\" --version").find(GRADEWICK_VERSION_STRING),
        std::string::npos);

    {
        e2e::Program program;
        ASSERT_TRUE(program.Start(Path("gradewick.exe")));
        HWND files = program.WaitForScreen(IDC_FILE_OK, ProgramStartTimeout);
        ASSERT_NE(files, nullptr) << "the installed program never reached the file selection";
        e2e::Click(files, IDC_FILE_CANCEL);
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    }

    const std::string results = "Semester 1\r\nMaths\r\n3\r\n1\r\n";
    e2e::WriteFileBytes(Path("my results.rst"), results);

    ASSERT_EQ(UninstallSilently(), 0u);
    EXPECT_EQ(FilesIn(folder_), std::set<std::string>{"my results.rst"});
    EXPECT_EQ(e2e::ReadFileBytes(Path("my results.rst")), results);
    EXPECT_FALSE(e2e::FileExists(ShortcutPath()));
    EXPECT_FALSE(EntryExists());
}

TEST_F(PackageTest, UninstallWithNothingOfTheUsersRemovesTheFolder) {
    ASSERT_EQ(Install(folder_), 0u);
    ASSERT_EQ(UninstallSilently(), 0u);
    EXPECT_FALSE(FolderExists(folder_));
    EXPECT_FALSE(EntryExists());
}

TEST_F(PackageTest, SecondRunUpgradesInPlaceKeepingTheUsersChanges) {
    ASSERT_EQ(Install(folder_), 0u);
    const std::string program = e2e::ReadFileBytes(Path("gradewick-cli.exe"));
    ASSERT_FALSE(program.empty());
    // A damaged install, a filled-in example and a result file of the user's.
    ASSERT_TRUE(DeleteFileA(Path("gradewick-cli.exe").c_str()));
    const std::string example =
        e2e::ReadFileBytes(Path("example.rst")) + "Semester 2\r\nPhysics\r\n4\r\n2\r\n";
    e2e::WriteFileBytes(Path("example.rst"), example);
    e2e::WriteFileBytes(Path("mine.rst"), "Semester 1\r\nArt\r\n2\r\n3\r\n");

    // Run again as a user would, without naming a folder: it finds the install.
    ASSERT_EQ(Install(), 0u);

    ExpectInstalledIn(folder_);
    EXPECT_EQ(FilesIn(folder_), With(PackageFiles, {UninstallerName, "mine.rst"}));
    EXPECT_EQ(e2e::ReadFileBytes(Path("gradewick-cli.exe")), program);
    EXPECT_EQ(e2e::ReadFileBytes(Path("example.rst")), example);

    ASSERT_EQ(UninstallSilently(), 0u);
    EXPECT_EQ(FilesIn(folder_), (std::set<std::string>{"example.rst", "mine.rst"}));
    EXPECT_EQ(e2e::ReadFileBytes(Path("example.rst")), example);
    EXPECT_FALSE(EntryExists());
    EXPECT_FALSE(e2e::FileExists(ShortcutPath()));
}

TEST_F(PackageTest, InstallingIntoAnotherFolderMovesTheInstall) {
    ASSERT_EQ(Install(folder_), 0u);
    e2e::WriteFileBytes(Path("mine.rst"), "Semester 1\r\nArt\r\n2\r\n3\r\n");
    // The new folder is shared with another program, which has an uninstaller of its own.
    const std::string other = NewFolder();
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    const std::string foreign = other + "\\Uninstall.exe";
    e2e::WriteFileBytes(foreign, "another program's uninstaller");

    ASSERT_EQ(Install(other), 0u);

    ExpectInstalledIn(other);
    EXPECT_EQ(FilesIn(other), With(PackageFiles, {UninstallerName, "Uninstall.exe"}));
    EXPECT_EQ(FilesIn(folder_), std::set<std::string>{"mine.rst"});
    ASSERT_EQ(UninstallSilently(), 0u);
    EXPECT_EQ(FilesIn(other), std::set<std::string>{"Uninstall.exe"});
    EXPECT_EQ(e2e::ReadFileBytes(foreign), "another program's uninstaller");
    EXPECT_FALSE(EntryExists());
}

TEST_F(PackageTest, InstallerChangesNothingWhileTheProgramRuns) {
    ASSERT_EQ(Install(folder_), 0u);
    const std::set<std::string> installed = FilesIn(folder_);
    const std::string readMe = e2e::ReadFileBytes(Path("README.txt"));

    e2e::Program program;
    ASSERT_TRUE(program.Start(Path("gradewick.exe")));
    HWND files = program.WaitForScreen(IDC_FILE_OK, ProgramStartTimeout);
    ASSERT_NE(files, nullptr);

    EXPECT_EQ(Install(), 2u);
    EXPECT_EQ(FilesIn(folder_), installed);
    EXPECT_EQ(e2e::ReadFileBytes(Path("README.txt")), readMe);
    EXPECT_TRUE(EntryExists());

    e2e::Click(files, IDC_FILE_CANCEL);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// A file held open without sharing cannot be deleted, as a file in use on Windows.
class HeldFile {
  public:
    explicit HeldFile(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held()) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

  private:
    HANDLE handle_;
};

TEST_F(PackageTest, UninstallOfADamagedInstallRemovesWhatItCanAndCanRunAgain) {
    ASSERT_EQ(Install(folder_), 0u);
    ASSERT_TRUE(DeleteFileA(Path("gradewick-cli.exe").c_str()));
    HeldFile readMe(Path("README.txt"));
    ASSERT_TRUE(readMe.Held());

    EXPECT_EQ(UninstallSilently(), 2u);
    // Everything else is gone; the uninstaller and its entry stay for another run.
    EXPECT_EQ(FilesIn(folder_), (std::set<std::string>{"README.txt", UninstallerName}));
    EXPECT_TRUE(EntryExists());
    EXPECT_FALSE(e2e::FileExists(ShortcutPath()));

    readMe.Release();
    ASSERT_EQ(UninstallSilently(), 0u);
    EXPECT_FALSE(FolderExists(folder_));
    EXPECT_FALSE(EntryExists());
}

TEST_F(PackageTest, UninstallWithoutItsEntryStillRemovesTheProgram) {
    ASSERT_EQ(Install(folder_), 0u);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, UninstallKey), ERROR_SUCCESS);

    ASSERT_EQ(RunToEnd("\"" + Path(UninstallerName) + "\" /S"), 0u);
    // Without the entry the example's install-time stamp is lost: it is kept, as it may hold
    // the user's results.
    std::set<std::string> left = FilesIn(folder_);
    left.erase("example.rst");
    EXPECT_EQ(left, std::set<std::string>{});
    EXPECT_FALSE(e2e::FileExists(ShortcutPath()));
    EXPECT_FALSE(EntryExists());
}

// The visible dialog of the tree whose button 1 reads label, once it can be pressed.
HWND WaitForPage(ProcessTree& tree, const std::string& label) {
    HWND page = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND dialog : tree.Dialogs()) {
                HWND button = GetDlgItem(dialog, IDOK);
                if (button != nullptr && e2e::WindowText(button) == label &&
                    IsWindowEnabled(button)) {
                    page = dialog;
                    return true;
                }
            }
            return false;
        },
        SetupTimeout);
    return page;
}

TEST_F(PackageTest, UninstallerSaysWhichFilesItCouldNotRemove) {
    ASSERT_EQ(Install(folder_), 0u);
    HeldFile readMe(Path("README.txt"));
    ASSERT_TRUE(readMe.Held());

    ProcessTree tree;
    ASSERT_TRUE(tree.Start(*EntryValue("UninstallString")));
    HWND confirm = WaitForPage(tree, "&Uninstall");
    ASSERT_NE(confirm, nullptr) << "no confirmation page";
    e2e::Click(confirm, IDOK);

    std::optional<e2e::MessageBoxInfo> message;
    e2e::WaitUntil(
        [&] {
            for (HWND dialog : tree.Dialogs()) {
                e2e::MessageBoxInfo info = e2e::ReadMessageBox(dialog);
                if (info.text.find("could not remove") != std::string::npos) {
                    message = info;
                    return true;
                }
            }
            return false;
        },
        SetupTimeout);
    ASSERT_TRUE(message.has_value()) << "no message about the files left behind";
    EXPECT_NE(message->text.find(Path("README.txt")), std::string::npos) << message->text;
    EXPECT_EQ(message->text.find("gradewick.exe"), std::string::npos) << message->text;
    e2e::PressMessageBoxButton(message->window);

    HWND done = WaitForPage(tree, "&Close");
    ASSERT_NE(done, nullptr) << "the uninstaller did not finish";
    e2e::Click(done, IDOK);
    EXPECT_EQ(tree.Wait(), 2u);
    EXPECT_EQ(FilesIn(folder_), (std::set<std::string>{"README.txt", UninstallerName}));
}

} // namespace
