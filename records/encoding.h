// The forms text takes on Windows. Paths and the program's own texts are kept in UTF-8; the
// platform's wide calls take UTF-16; the texts of a result file (labels and subjects) are bytes
// of the system's ANSI code page, as they always were. Elsewhere paths and texts are bytes and
// nothing is converted.
#pragma once

#include <string>
#include <string_view>

// Text as the result file stores it. A character that the code page cannot hold (a best-fit
// stand-in is not taken: "ā" is not "a") is a '?' in Bytes and named once in Unstorable, in
// UTF-8 with its code: "成 (U+6210), 绩 (U+7EE9)".
struct StoredText {
    std::string Bytes;
    std::string Unstorable; // empty when every character is stored as it is
};

// UTF-8 text (a command-line argument) as the result file stores it: on Windows in the code
// page; elsewhere the bytes as given, every one stored.
StoredText StoredFromUtf8(std::string_view text);

#if defined(_WIN32)

// Text that is not valid UTF-8 (or UTF-16) gives an empty result, so that a path that cannot be
// converted names no file rather than another one.
std::wstring Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::wstring_view utf16);

StoredText CodePageFromUtf16(std::wstring_view text);

// A text of the result file (a label or subject, in the code page) in UTF-8, to be shown.
std::string Utf8FromCodePage(std::string_view stored);

#endif

// The code pages that a Windows system takes as its ANSI code page and so stores a result file's
// texts in: 1250 to 1258, 874, 932, 936, 949 and 950.
bool IsAnsiCodePage(unsigned codePage);

// The system's ANSI code page on Windows; Windows-1252 elsewhere, the code page of the program on
// Western systems.
unsigned SystemCodePage();

// A text of the result file (a subject, as stored) in UTF-8, for other programs: text that is
// valid UTF-8 (as the companion on Linux stores it) is taken as it is, any other is read in
// codePage. Elsewhere than on Windows a byte that the code page leaves undefined reads as the
// character of its number (U+0080 to U+00FF), as Windows reads its 8-bit code pages' gaps.
std::string Utf8FromStoredText(std::string_view stored, unsigned codePage);
