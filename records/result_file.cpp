// The result file. The bytes are read and written in binary mode and the text rules are applied
// here, so that one file loads to the same table on every platform: on disk every line ends in
// CR LF; on reading, CR LF reads as one line feed and a lone CR stays a character. Fields are
// read as a C program reads them with fgets (limits 15 and 50) and fscanf "%d\n", with the end
// of the file looked at only before each record.
#include "result_file.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int EndOfInput = -1;

// A source of raw bytes: a file read in blocks, or bytes already in memory.
class ByteSource {
  public:
    explicit ByteSource(std::string_view bytes)
        : cur_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(cur_ + bytes.size()) {}
    explicit ByteSource(std::FILE* file) : file_(file) {}
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Bytes available without reading more.
    [[nodiscard]] std::size_t Available() const { return static_cast<std::size_t>(end_ - cur_); }
    [[nodiscard]] const unsigned char* Current() const { return cur_; }
    void Consume(std::size_t count) { cur_ += count; }
    [[nodiscard]] bool Failed() const { return failed_; }

    // Reads more bytes, keeping those not yet consumed. Returns false when none could be added.
    bool Refill() {
        if (file_ == nullptr || failed_ || exhausted_) {
            return false;
        }
        const std::size_t keep = Available();
        if (keep > 0 && cur_ != buffer_) {
            std::memmove(buffer_, cur_, keep);
        }
        const std::size_t got = std::fread(buffer_ + keep, 1, sizeof buffer_ - keep, file_);
        cur_ = buffer_;
        end_ = buffer_ + keep + got;
        if (got == 0) {
            if (std::ferror(file_) != 0) {
                failed_ = true;
            } else {
                exhausted_ = true;
            }
            return false;
        }
        return true;
    }

  private:
    std::FILE* file_ = nullptr;
    const unsigned char* cur_ = nullptr;
    const unsigned char* end_ = nullptr;
    bool failed_ = false;
    bool exhausted_ = false;
    unsigned char buffer_[8192] = {};
};

// The reading side of a text-mode stream: CR LF becomes one line feed, and the end-of-file
// flag is set by the first read that finds nothing left, and then stays set.
class TextReader {
  public:
    explicit TextReader(ByteSource& source) : source_(source) {}

    [[nodiscard]] bool AtEnd() const { return atEnd_; }
    [[nodiscard]] bool Failed() const { return source_.Failed(); }

    // The next character without taking it, or EndOfInput (which sets the end flag).
    int Peek() {
        if (atEnd_) {
            return EndOfInput;
        }
        if (source_.Available() == 0 && !source_.Refill()) {
            atEnd_ = true;
            return EndOfInput;
        }
        const unsigned char c = *source_.Current();
        if (c != '\r') {
            width_ = 1;
            return c;
        }
        if (source_.Available() < 2) {
            source_.Refill(); // a CR at the end of a block: its line feed may follow
        }
        if (source_.Available() >= 2 && source_.Current()[1] == '\n') {
            width_ = 2;
            return '\n';
        }
        width_ = 1;
        return '\r';
    }

    // Takes the character that Peek returned.
    void Take() { source_.Consume(width_); }

    // fgets(buffer, size, stream): at most size - 1 characters, up to and including a line
    // feed. Finding the end before any character leaves the buffer untouched.
    bool ReadLine(char* buffer, std::size_t size) {
        std::size_t count = 0;
        while (count + 1 < size) {
            const int c = Peek();
            if (c == EndOfInput) {
                break;
            }
            Take();
            buffer[count++] = static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        if (count == 0 && size > 1) {
            return false;
        }
        buffer[count] = '\0';
        return true;
    }

    // fscanf(stream, "%d\n", &value). A matching failure stores nothing, leaves the offending
    // character unread and skips no white space after it; a sign without digits is consumed.
    // A number beyond the 32-bit range saturates, as strtol does.
    void ReadNumber(std::int32_t& value) {
        int c = SkipSpace();
        if (c == EndOfInput) {
            return;
        }
        bool negative = false;
        if (c == '+' || c == '-') {
            negative = c == '-';
            Take();
            c = Peek();
        }
        if (!IsDigit(c)) {
            return;
        }
        // Magnitude capped one past INT32_MAX so that INT32_MIN is exact.
        constexpr std::int64_t cap = std::int64_t{INT32_MAX} + 1;
        std::int64_t magnitude = 0;
        while (IsDigit(c)) {
            Take();
            if (magnitude < cap) {
                magnitude = magnitude * 10 + (c - '0');
            }
            c = Peek();
        }
        if (magnitude > cap) {
            magnitude = cap;
        }
        std::int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > INT32_MAX) {
            signedValue = INT32_MAX;
        }
        value = static_cast<std::int32_t>(signedValue);
        SkipSpace();
    }

  private:
    static bool IsDigit(int c) { return c >= '0' && c <= '9'; }
    static bool IsSpace(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    int SkipSpace() {
        int c = Peek();
        while (c != EndOfInput && IsSpace(c)) {
            Take();
            c = Peek();
        }
        return c;
    }

    ByteSource& source_;
    std::size_t width_ = 1;
    bool atEnd_ = false;
};

LoadReport ReadRecords(ByteSource& source, RecordTableArray& table) {
    LoadReport report;
    report.Opened = true;
    TextReader reader(source);
    std::size_t entry = 0;
    while (!reader.AtEnd() && !reader.Failed()) {
        if (entry == table.size()) {
            report.MoreThanCapacity = true;
            break;
        }
        SubjectRecord& record = table[entry];
        const bool gotLabel = reader.ReadLine(record.Label, sizeof record.Label);
        reader.ReadLine(record.Subject, sizeof record.Subject);
        reader.ReadNumber(record.CreditIndex);
        reader.ReadNumber(record.GradeIndex);
        if (gotLabel) {
            ++report.RecordsRead;
        }
        ++entry;
    }
    report.ReadError = reader.Failed();
    return report;
}

bool HasLineFeed(const char* text) {
    return std::strchr(text, '\n') != nullptr;
}

void AppendNumber(std::string& out, int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace

LoadReport LoadRecordTable(const char* path, RecordTableArray& table) {
    ResetRecordTable(table);
    if (path == nullptr) {
        return {};
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return {};
    }
    LoadReport report;
    {
        ByteSource source(file);
        report = ReadRecords(source, table);
    }
    std::fclose(file);
    return report;
}

LoadReport LoadRecordTable(const char* path) {
    return LoadRecordTable(path, RecordTable);
}

LoadReport LoadRecordBytes(std::string_view bytes, RecordTableArray& table) {
    ResetRecordTable(table);
    ByteSource source(bytes);
    return ReadRecords(source, table);
}

std::string FormatRecord(const char* label, const char* subject, int creditIndex, int gradeIndex) {
    std::string out;
    out.reserve(std::strlen(label) + std::strlen(subject) + 32);
    out.append(label);
    out.append("\r\n");
    out.append(subject);
    out.append("\r\n");
    AppendNumber(out, creditIndex);
    out.append("\r\n");
    AppendNumber(out, gradeIndex);
    out.append("\r\n");
    return out;
}

bool AppendRecord(const char* path, bool startAfresh, const char* label, const char* subject,
                  int creditIndex, int gradeIndex) {
    if (path == nullptr || label == nullptr || subject == nullptr) {
        return false;
    }
    // A text that would not read back as one field would put every later record out of step.
    if (std::strlen(label) >= LabelSize || std::strlen(subject) >= SubjectSize ||
        HasLineFeed(label) || HasLineFeed(subject)) {
        return false;
    }
    const std::string bytes = FormatRecord(label, subject, creditIndex, gradeIndex);
    std::FILE* file = std::fopen(path, startAfresh ? "wb" : "ab");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
