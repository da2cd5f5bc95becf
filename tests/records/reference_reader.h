// A deliberately plain model of how a C program reads a result file in text mode: the bytes
// are folded first (CR LF to LF), then read one character at a time with fgets(15),
// fgets(50) and two fscanf("%d\n"), the end of the file tested before each record. The core's
// reader must agree with it on every input; tests and the fuzzer compare the two.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "result_file.h"

namespace reference {

class Stream {
  public:
    explicit Stream(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                continue; // the line feed that follows stands for both
            }
            text_ += bytes[i];
        }
    }

    [[nodiscard]] bool Eof() const { return eof_; }

    bool Fgets(char* buffer, int size) {
        int count = 0;
        while (count < size - 1) {
            const int c = Getc();
            if (c < 0) {
                break;
            }
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

    void ScanNumber(std::int32_t& value) {
        int c = Getc();
        while (IsSpace(c)) {
            c = Getc();
        }
        if (c < 0) {
            return;
        }
        bool negative = false;
        if (c == '+' || c == '-') {
            negative = c == '-';
            c = Getc();
        }
        if (c < '0' || c > '9') {
            Ungetc(c);
            return;
        }
        long double magnitude = 0; // exact far beyond 32 bits, and it only grows
        while (c >= '0' && c <= '9') {
            magnitude = magnitude * 10 + (c - '0');
            c = Getc();
        }
        Ungetc(c);
        const long double signedValue = negative ? -magnitude : magnitude;
        value = signedValue > INT32_MAX   ? INT32_MAX
                : signedValue < INT32_MIN ? INT32_MIN
                                          : static_cast<std::int32_t>(signedValue);
        c = Getc();
        while (IsSpace(c)) {
            c = Getc();
        }
        Ungetc(c);
    }

  private:
    static bool IsSpace(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }
    int Getc() {
        if (pos_ < text_.size()) {
            return static_cast<unsigned char>(text_[pos_++]);
        }
        eof_ = true;
        return -1;
    }
    void Ungetc(int c) {
        if (c >= 0) {
            --pos_;
        }
    }

    std::string text_;
    std::size_t pos_ = 0;
    bool eof_ = false;
};

inline LoadReport Load(std::string_view bytes, RecordTableArray& table) {
    ResetRecordTable(table);
    LoadReport report;
    report.Opened = true;
    Stream stream(bytes);
    for (std::size_t entry = 0; !stream.Eof(); ++entry) {
        if (entry == table.size()) {
            report.MoreThanCapacity = true;
            break;
        }
        SubjectRecord& record = table[entry];
        if (stream.Fgets(record.Label, static_cast<int>(sizeof record.Label))) {
            ++report.RecordsRead;
        }
        stream.Fgets(record.Subject, static_cast<int>(sizeof record.Subject));
        stream.ScanNumber(record.CreditIndex);
        stream.ScanNumber(record.GradeIndex);
    }
    return report;
}

} // namespace reference
