// Every touch of the file system that the core makes, in one place: opening, reading whole,
// looking at, creating, flushing, renaming and removing files. Paths are std::string: on
// Windows UTF-8, given to the platform's wide calls, so that a folder or file of any name is
// reached; elsewhere bytes, as the system takes them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// Opens a file for reading in binary mode (_wfopen on Windows). A folder, pipe or device, whose
// reading would wait or fail, is refused: nullptr, with notRegular set.
std::FILE* OpenForReading(const std::string& path, bool& notRegular);

// The platform's own words for the last call that failed (strerror of errno, or FormatMessage
// of GetLastError()), such as "No space left on device".
std::string PlatformReason();

struct WholeFile {
    bool Opened = false;
    bool NotRegular = false; // not opened: a folder, pipe or device
    bool ReadError = false;  // reading stopped before the end of the file
    std::string Bytes;
};

WholeFile ReadWholeFile(const std::string& path);

// What a replacement must know of a file that is there (links followed).
struct FileFacts {
    std::uint64_t Volume = 0; // Volume and Index tell the file apart however it is named
    std::uint64_t Index = 0;
    std::uint64_t Names = 1; // its hard links
    bool ReadOnly = false;   // no write permission bit, or FILE_ATTRIBUTE_READONLY
};

// Nothing when no file is there.
std::optional<FileFacts> LookAtFile(const std::string& path);

// The path of the file that path names, a link followed to its target (on Linux also a link
// that names no file yet: the path of the file it would name); path itself when it is no link.
std::string FinalPath(const std::string& path);

// The name of the new file written beside path before it takes path's place: path with ".new",
// or, where that name would be longer than the folder allows (255 bytes a name on Linux, 259
// characters a path on Windows), path with as many of its last characters cut off as make room
// for "~.new".
std::string NewFileNameFor(const std::string& path);

// A file made new, never one that is already there, with the permissions, owner and group of
// the model file when there is one; written, flushed and closed. A NewFile made without a path
// is no file: each of its steps fails as a step on a lost file would.
class NewFile {
  public:
    NewFile() = default;
    NewFile(const std::string& path, const std::string& model);
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() { Close(); }

    [[nodiscard]] bool Created() const;
    // Not created because a file (or folder) of that name is already there.
    [[nodiscard]] bool AlreadyThere() const { return alreadyThere_; }
    // Made, but the model's owner or group could not be given to it (another user's file).
    [[nodiscard]] bool OwnerLost() const { return ownerLost_; }
    bool Write(std::string_view bytes);
    bool Flush();
    bool Close();

  private:
#if defined(_WIN32)
    void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
    int fd_ = -1;
#endif
    bool alreadyThere_ = false;
    bool ownerLost_ = false;
};

enum class MoveResult {
    Done,
    Failed,  // both files are as they were
    OldGone, // Windows: the file replaced is gone, and the new one could not take its name
};

// Puts the file from in the place of the file to in one step. On Windows the file keeps what
// it was (ReplaceFileW): its security descriptor, short name and, given by NewFile, its
// attributes and creation time.
MoveResult MoveInPlace(const std::string& from, const std::string& to);

void RemoveFile(const std::string& path);

// What a name stands for, links followed: a stream is a FIFO or character device (a pipe,
// /dev/null, a terminal; NUL and CON on Windows), which is written into rather than replaced.
enum class FileKind { Missing, Regular, Folder, Stream, Other };
FileKind KindOfFile(const std::string& path);

// Writes bytes into the stream at path, as a shell's redirection would. Returns the platform's
// reason for a failure, or nothing.
std::string WriteIntoStream(const std::string& path, std::string_view bytes);
