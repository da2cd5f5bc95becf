// The result file. The bytes are read and written in binary mode and the text rules are applied
// here, so that one file loads to the same table on every platform: on disk every line ends in
// CR LF; on reading, CR LF reads as one line feed and a lone CR stays a character. Fields are
// read as a C program reads them with fgets (limits 15 and 50) and fscanf "%d\n", with the end
// of the file looked at only before each record.
#include "result_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "file_system.h"
#include "locked_file.h"
#include "rewrite_step.h"

namespace {

constexpr int EndOfInput = -1;

// The bytes of a file, read in blocks, or bytes already in memory; and on top of them the
// characters of the text, with CR LF folded into one line feed.
class TextSource {
  public:
    // The block is filled before it is read: clearing it on every load would cost more than
    // reading a small file.
    // cppcheck-suppress uninitMemberVar
    explicit TextSource(std::string_view bytes)
        : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}
    // cppcheck-suppress uninitMemberVar
    explicit TextSource(std::FILE* file) : file_(file), data_(block_) {}
    TextSource(const TextSource&) = delete;
    TextSource& operator=(const TextSource&) = delete;

    // Like a stream's flags: the end is met by a read that finds nothing left, and then stays.
    [[nodiscard]] bool AtEnd() const { return atEnd_; }
    [[nodiscard]] bool Failed() const { return failed_; }
    // Bytes of the file taken so far.
    [[nodiscard]] std::size_t Offset() const { return dropped_ + pos_; }

    // The next character without taking it, or EndOfInput. The only place where CR LF folds.
    int Peek() {
        width_ = 1;
        const int c = Byte(0);
        if (c == '\r' && Byte(1) == '\n') {
            width_ = 2;
            return '\n';
        }
        if (c == EndOfInput) {
            atEnd_ = true;
        }
        return c;
    }

    // Takes the character that Peek returned.
    void Take() { pos_ += width_; }

  private:
    // The next byte (ahead 0) or the one after it (ahead 1), or EndOfInput.
    int Byte(std::size_t ahead) {
        return pos_ + ahead < size_ || Refill(ahead) ? data_[pos_ + ahead] : EndOfInput;
    }

    // Drops the bytes taken, keeps the others (at most one) and reads more after them, until
    // the byte ahead is there. Out of line: it runs once per block.
    [[gnu::noinline]] bool Refill(std::size_t ahead) {
        while (file_ != nullptr && !failed_ && pos_ + ahead >= size_) {
            dropped_ += pos_;
            size_ -= pos_;
            std::memmove(block_, block_ + pos_, size_);
            pos_ = 0;
            const std::size_t got = std::fread(block_ + size_, 1, sizeof block_ - size_, file_);
            size_ += got;
            failed_ = got == 0 && std::ferror(file_) != 0;
            if (got == 0) {
                return false;
            }
        }
        return pos_ + ahead < size_;
    }

    std::FILE* file_ = nullptr;
    const unsigned char* data_;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    std::size_t dropped_ = 0;
    std::size_t width_ = 1;
    bool atEnd_ = false;
    bool failed_ = false;
    unsigned char block_[8192];
};

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// White space of the C locale: space, tab, line feed, vertical tab, form feed and CR.
bool IsSpace(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// fgets(buffer, Size, stream): at most Size - 1 characters, up to and including a line feed.
// Finding the end before any character leaves the buffer as it was and returns false.
template <std::size_t Size> bool ReadLine(TextSource& text, char (&buffer)[Size]) {
    std::size_t count = 0;
    while (count + 1 < Size) {
        const int c = text.Peek();
        if (c == EndOfInput) {
            break;
        }
        text.Take();
        buffer[count++] = static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    if (count == 0) {
        return false;
    }
    buffer[count] = '\0';
    return true;
}

// fscanf(stream, "%d\n", &value): white space, an optional sign, digits, then all white space
// after them. Beyond the 32-bit range the value saturates, as strtol does. Without digits it
// is a matching failure: nothing is stored, a sign stays taken, the character that is not a
// digit stays unread, and no white space after it is skipped.
void ReadNumber(TextSource& text, std::int32_t& value) {
    int c = text.Peek();
    while (IsSpace(c)) {
        text.Take();
        c = text.Peek();
    }
    const bool negative = c == '-';
    if (c == '-' || c == '+') {
        text.Take();
        c = text.Peek();
    }
    if (!IsDigit(c)) {
        return;
    }
    constexpr std::int64_t cap = std::int64_t{INT32_MAX} + 1; // so that INT32_MIN is exact
    std::int64_t magnitude = 0;
    for (; IsDigit(c); c = text.Peek()) {
        text.Take();
        magnitude = std::min(magnitude * 10 + (c - '0'), cap);
    }
    value = static_cast<std::int32_t>(std::min(negative ? -magnitude : magnitude, cap - 1));
    while (IsSpace(c)) {
        text.Take();
        c = text.Peek();
    }
}

LoadReport ReadRecords(TextSource& text, RecordTableArray& table) {
    LoadReport report;
    report.Opened = true;
    for (std::size_t entry = 0; !text.AtEnd() && !text.Failed(); ++entry) {
        if (entry == table.size()) {
            report.MoreThanCapacity = true;
            break;
        }
        SubjectRecord& record = table[entry];
        const bool gotLabel = ReadLine(text, record.Label);
        ReadLine(text, record.Subject);
        ReadNumber(text, record.CreditIndex);
        ReadNumber(text, record.GradeIndex);
        if (gotLabel) {
            report.RecordBounds[entry + 1] = text.Offset();
            ++report.RecordsRead;
        }
    }
    report.ReadError = text.Failed();
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
    bool notRegular = false;
    std::FILE* file = path == nullptr ? nullptr : OpenForReading(path, notRegular);
    if (file == nullptr) {
        LoadReport failed;
        failed.NotRegular = notRegular;
        return failed;
    }
    // The reader keeps a block of its own; a second buffer inside the stream would only copy.
    (void)std::setvbuf(file, nullptr, _IONBF, 0);
    LoadReport report;
    {
        TextSource text(file);
        report = ReadRecords(text, table);
    }
    (void)std::fclose(file); // read only: nothing to lose on closing
    return report;
}

LoadReport LoadRecordTable(const char* path) {
    return LoadRecordTable(path, RecordTable);
}

LoadReport LoadRecordBytes(std::string_view bytes, RecordTableArray& table) {
    ResetRecordTable(table);
    TextSource text(bytes);
    return ReadRecords(text, table);
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

RecordLayout LayOutRecord(std::string_view record) {
    TextSource text(record);
    SubjectRecord scratch{};
    RecordLayout layout{};
    const auto line = [&](auto& buffer) {
        const std::size_t begin = text.Offset();
        ReadLine(text, buffer);
        std::size_t end = text.Offset();
        if (end > begin && record[end - 1] == '\n') {
            --end;
            if (end > begin && record[end - 1] == '\r') {
                --end; // a CR just before the line feed is always part of the line end
            }
        }
        return FieldSpan{begin, end};
    };
    const auto number = [&](std::int32_t& value) {
        std::size_t begin = text.Offset();
        ReadNumber(text, value);
        const std::size_t stop = text.Offset();
        while (begin < stop && IsSpace(static_cast<unsigned char>(record[begin]))) {
            ++begin;
        }
        std::size_t end = begin;
        while (end < stop && !IsSpace(static_cast<unsigned char>(record[end]))) {
            ++end;
        }
        return FieldSpan{begin, end};
    };
    layout[static_cast<std::size_t>(RecordField::Label)] = line(scratch.Label);
    layout[static_cast<std::size_t>(RecordField::Subject)] = line(scratch.Subject);
    layout[static_cast<std::size_t>(RecordField::CreditIndex)] = number(scratch.CreditIndex);
    layout[static_cast<std::size_t>(RecordField::GradeIndex)] = number(scratch.GradeIndex);
    return layout;
}

AppendResult AppendRecord(const char* path, bool startAfresh, const char* label,
                          const char* subject, int creditIndex, int gradeIndex) {
    if (path == nullptr || label == nullptr || subject == nullptr ||
        std::strlen(label) >= LabelSize || std::strlen(subject) >= SubjectSize ||
        HasLineFeed(label) || HasLineFeed(subject)) {
        return {AppendStatus::BadText, {}};
    }
    LockedFile file(path, true);
    switch (file.Status()) {
    case LockStatus::Taken: break;
    case LockStatus::InUse: return {AppendStatus::InUse, {}};
    case LockStatus::ReadOnly: return {AppendStatus::ReadOnly, {}};
    case LockStatus::NotRegular: return {AppendStatus::NotRegular, {}};
    case LockStatus::Gone:
    case LockStatus::Failed: return {AppendStatus::Failed, file.Reason()};
    }
    std::string record;
    if (startAfresh) {
        if (!file.Empty()) {
            return {AppendStatus::Failed, file.Reason()};
        }
    } else {
        std::string bytes;
        if (!file.ReadAll(bytes)) {
            return {AppendStatus::Failed, file.Reason()};
        }
        RecordTableArray records;
        const LoadReport report = LoadRecordBytes(bytes, records);
        if (report.RecordsRead == RecordCapacity || report.MoreThanCapacity) {
            return {AppendStatus::Full, {}};
        }
        if (!bytes.empty() && bytes.back() != '\n') {
            record = "\r\n"; // the last line was cut short: the record starts on a line of its own
        }
        RewriteStepFails(RewriteStep::Hold, path);
    }
    record += FormatRecord(label, subject, creditIndex, gradeIndex);
    bool cutBack = true;
    if (!file.Append(record, cutBack)) {
        return {cutBack ? AppendStatus::Failed : AppendStatus::Damaged, file.Reason()};
    }
    return {};
}
