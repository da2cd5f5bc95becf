// The result file. The bytes are read and written in binary mode and the text rules are applied
// here, so that one file loads to the same table on every platform: on disk every line ends in
// CR LF; on reading, CR LF reads as one line feed and a lone CR stays a character. Fields are
// read as a C program reads them with fgets (limits 15 and 50) and fscanf "%d\n", with the end
// of the file looked at only before each record.
#include "result_file.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int EndOfInput = -1;

// Where the first CR or LF lies among the first limit of the available bytes (limit when
// none does). Sixteen bytes (SSE2) or eight (any little-endian machine) are looked at
// together; those words may reach past the limit, never past the bytes available.
std::size_t LineBreakWithin(const unsigned char* bytes, std::size_t available, std::size_t limit) {
    std::size_t n = 0;
#if defined(__SSE2__)
    const __m128i lineFeeds = _mm_set1_epi8('\n');
    const __m128i returns = _mm_set1_epi8('\r');
    for (; n < limit && n + 16 <= available; n += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + n));
        const __m128i found =
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeeds), _mm_cmpeq_epi8(chunk, returns));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(found));
        if (mask != 0) {
            n += static_cast<std::size_t>(std::countr_zero(mask));
            return n < limit ? n : limit;
        }
    }
    if (n >= limit) {
        return limit;
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101U;
        constexpr std::uint64_t highs = 0x8080808080808080U;
        for (; n < limit && n + 8 <= available; n += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + n, 8);
            const std::uint64_t lf = word ^ (ones * '\n');
            const std::uint64_t cr = word ^ (ones * '\r');
            // The lowest marked byte is exactly the first zero byte of lf or of cr.
            const std::uint64_t marks = ((lf - ones) & ~lf & highs) | ((cr - ones) & ~cr & highs);
            if (marks != 0) {
                n += static_cast<std::size_t>(std::countr_zero(marks)) / 8;
                return n < limit ? n : limit;
            }
        }
        if (n >= limit) {
            return limit;
        }
    }
    while (n < limit && bytes[n] != '\n' && bytes[n] != '\r') {
        ++n;
    }
    return n;
}

// A source of raw bytes: a file read in blocks, or bytes already in memory.
class ByteSource {
  public:
    // The block buffer is filled before it is read; clearing 8 KiB on every load would cost
    // more than reading a small file.
    // cppcheck-suppress uninitMemberVar
    explicit ByteSource(std::string_view bytes)
        : cur_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(cur_ + bytes.size()) {}
    // cppcheck-suppress uninitMemberVar
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
        if (errorAhead_) {
            failed_ = true; // the bytes read before the error have all been taken
            return false;
        }
        const std::size_t keep = Available();
        if (keep > 0 && cur_ != buffer_) {
            std::memmove(buffer_, cur_, keep);
        }
        const std::size_t wanted = sizeof buffer_ - keep;
        const std::size_t got = std::fread(buffer_ + keep, 1, wanted, file_);
        cur_ = buffer_;
        end_ = buffer_ + keep + got;
        if (got < wanted) {
            // A short read means the end of the file or an error: no need to ask again.
            if (std::ferror(file_) != 0) {
                errorAhead_ = true;
            } else {
                exhausted_ = true;
            }
        }
        if (got == 0) {
            failed_ = errorAhead_;
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
    bool errorAhead_ = false;
    unsigned char buffer_[8192];
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
        // Bytes at hand mean the end has not been met (it is met only with none left).
        if (source_.Available() >= 2) {
            const unsigned char* at = source_.Current();
            if (at[0] != '\r') {
                width_ = 1;
                return at[0];
            }
            if (at[1] == '\n') {
                width_ = 2;
                return '\n';
            }
        }
        return PeekSlowly();
    }

    // Takes the character that Peek returned.
    void Take() { source_.Consume(width_); }

    // fgets(buffer, Size, stream): at most Size - 1 characters, up to and including a line
    // feed. Finding the end before any character leaves the buffer untouched.
    template <std::size_t Size> bool ReadLine(char (&buffer)[Size]) {
        // The common case at once: the line, or the limit, lies within the bytes at hand.
        constexpr std::size_t room = Size - 1;
        const unsigned char* at = source_.Current();
        if (source_.Available() > room) {
            const std::size_t n = LineBreakWithin(at, source_.Available(), room);
            // Copying the whole room is cheaper than copying n bytes; what lies past the
            // terminator is never read.
            if (n == room) {
                std::memcpy(buffer, at, room);
                buffer[room] = '\0';
                source_.Consume(room);
                return true;
            }
            if (at[n] == '\n') {
                std::memcpy(buffer, at, room);
                buffer[n + 1] = '\0';
                source_.Consume(n + 1);
                return true;
            }
            if (at[n + 1] == '\n') { // CR LF reads as one line feed
                std::memcpy(buffer, at, room);
                buffer[n] = '\n';
                buffer[n + 1] = '\0';
                source_.Consume(n + 2);
                return true;
            }
        }
        return ReadLineSlowly(buffer, Size);
    }

    // fscanf(stream, "%d\n", &value). A matching failure stores nothing, leaves the offending
    // character unread and skips no white space after it; a sign without digits is consumed.
    // A number beyond the 32-bit range saturates, as strtol does.
    // The number reads look at raw bytes: CR and LF are both white space to them, and every
    // other byte reads the same with or without the folding of CR LF.
    void ReadNumber(std::int32_t& value) {
        const unsigned char* at = source_.Current();
        // What the program writes: one digit, a line end, and the next record's text.
        if (source_.Available() >= 4 && IsDigit(at[0])) {
            const std::size_t lineEnd =
                at[1] == '\n' ? 2 : (at[1] == '\r' && at[2] == '\n' ? 3 : 0);
            if (lineEnd != 0 && !IsSpace(at[lineEnd])) {
                value = at[0] - '0';
                source_.Consume(lineEnd);
                return;
            }
        }
        if (!ReadNumberAtHand(value)) {
            ReadNumberSlowly(value);
        }
    }

  private:
    static constexpr std::int64_t MagnitudeCap = std::int64_t{INT32_MAX} + 1;

    static std::int32_t Saturated(bool negative, std::int64_t magnitude) {
        // The magnitude is capped one past INT32_MAX so that INT32_MIN is exact.
        if (magnitude > MagnitudeCap) {
            magnitude = MagnitudeCap;
        }
        std::int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > INT32_MAX) {
            signedValue = INT32_MAX;
        }
        return static_cast<std::int32_t>(signedValue);
    }

    [[gnu::noinline]] bool ReadLineSlowly(char* buffer, std::size_t size) {
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

    // The whole number read within the bytes at hand, including the white space after it up
    // to the character that ends it. Returns false, having taken nothing, when the bytes at
    // hand run out first.
    [[gnu::noinline]] bool ReadNumberAtHand(std::int32_t& value) {
        const unsigned char* at = source_.Current();
        const unsigned char* const end = at + source_.Available();
        while (at != end && IsSpace(*at)) {
            ++at;
        }
        if (at == end) {
            return false;
        }
        const bool negative = *at == '-';
        if (*at == '+' || *at == '-') {
            if (++at == end) {
                return false;
            }
        }
        if (!IsDigit(*at)) {
            source_.Consume(static_cast<std::size_t>(at - source_.Current()));
            return true;
        }
        std::int64_t magnitude = 0;
        while (at != end && IsDigit(*at)) {
            if (magnitude < MagnitudeCap) {
                magnitude = magnitude * 10 + (*at - '0');
            }
            ++at;
        }
        while (at != end && IsSpace(*at)) {
            ++at;
        }
        if (at == end) {
            return false;
        }
        value = Saturated(negative, magnitude);
        source_.Consume(static_cast<std::size_t>(at - source_.Current()));
        return true;
    }

    [[gnu::noinline]] void ReadNumberSlowly(std::int32_t& value) {
        int c = SkipSpace();
        if (c == EndOfInput) {
            return;
        }
        bool negative = false;
        if (c == '+' || c == '-') {
            negative = c == '-';
            source_.Consume(1);
            c = PeekByte();
        }
        if (!IsDigit(c)) {
            return;
        }
        std::int64_t magnitude = 0;
        while (IsDigit(c)) {
            source_.Consume(1);
            if (magnitude < MagnitudeCap) {
                magnitude = magnitude * 10 + (c - '0');
            }
            c = PeekByte();
        }
        value = Saturated(negative, magnitude);
        SkipSpace();
    }

    [[gnu::noinline]] int PeekSlowly() {
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

    static bool IsDigit(int c) { return c >= '0' && c <= '9'; }
    // White space of the C locale: space, and tab, line feed, vertical tab, form feed, CR.
    static bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    // The next raw byte without taking it, or EndOfInput (which sets the end flag).
    int PeekByte() {
        if (source_.Available() != 0) {
            return *source_.Current();
        }
        if (atEnd_ || !source_.Refill()) {
            atEnd_ = true;
            return EndOfInput;
        }
        return *source_.Current();
    }

    int SkipSpace() {
        int c = PeekByte();
        while (c != EndOfInput && IsSpace(c)) {
            source_.Consume(1);
            c = PeekByte();
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
        const bool gotLabel = reader.ReadLine(record.Label);
        reader.ReadLine(record.Subject);
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
    // The reader keeps blocks of its own; a second buffer inside the stream would only copy.
    (void)std::setvbuf(file, nullptr, _IONBF, 0);
    LoadReport report;
    {
        ByteSource source(file);
        report = ReadRecords(source, table);
    }
    (void)std::fclose(file); // read only: nothing to lose on closing
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
