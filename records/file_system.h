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

// std::fopen with its modes (_wfopen on Windows).
std::FILE* OpenFile(const std::string& path, const char* mode);

struct WholeFile {
    bool Opened = false;
    bool ReadError = false; // reading stopped before the end of the file
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

// A file made new, never one that is already there, with the permissions of the model file
// when there is one; written, flushed and closed. A NewFile made without a path is no file:
// each of its steps fails as a step on a lost file would.
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
};

// Renames from over to in one step.
bool MoveInPlace(const std::string& from, const std::string& to);

void RemoveFile(const std::string& path);

// What a name stands for, links followed: a stream is a FIFO or character device (a pipe,
// /dev/null, a terminal; NUL and CON on Windows), which is written into rather than replaced.
enum class FileKind { Missing, Regular, Folder, Stream, Other };
FileKind KindOfFile(const std::string& path);

// Writes bytes into the stream at path, as a shell's redirection would. Returns the platform's
// reason for a failure, or nothing.
std::string WriteIntoStream(const std::string& path, std::string_view bytes);
