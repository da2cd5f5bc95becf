#include "encoding.h"

#if !defined(_WIN32)

StoredText StoredFromUtf8(std::string_view text) {
    return {std::string(text), {}};
}

#else

#include <windows.h>

#include <cstdio>

namespace {

constexpr char Unheld = '?';

// The characters of text one by one: a surrogate pair is one character.
std::size_t CharacterLength(std::wstring_view text, std::size_t at) {
    const bool pair =
        IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]);
    return pair ? 2 : 1;
}

// "成 (U+6210)".
std::string Named(std::wstring_view character) {
    const char32_t code = character.size() == 2 ? 0x10000 + ((character[0] - 0xD800U) << 10) +
                                                      (character[1] - 0xDC00U)
                                                : character[0];
    char number[16];
    static_cast<void>(
        std::snprintf(number, sizeof number, " (U+%04X)", static_cast<unsigned>(code)));
    return Utf8FromUtf16(character) + number;
}

} // namespace

std::wstring Utf16FromUtf8(std::string_view utf8) {
    const auto size = static_cast<int>(utf8.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, utf16.data(), length);
    }
    return utf16;
}

std::string Utf8FromUtf16(std::wstring_view utf16) {
    const auto size = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), size,
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), size, utf8.data(), length,
                            nullptr, nullptr);
    }
    return utf8;
}

// One character at a time, so that each one that is not held is known. A code page of UTF-8
// holds every character and takes neither the flag nor the question.
StoredText CodePageFromUtf16(std::wstring_view text) {
    const bool utf8 = GetACP() == CP_UTF8;
    StoredText stored;
    for (std::size_t at = 0; at < text.size();) {
        const std::wstring_view character = text.substr(at, CharacterLength(text, at));
        at += character.size();
        char bytes[8];
        BOOL usedDefault = FALSE;
        const int length =
            WideCharToMultiByte(CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                character.data(), static_cast<int>(character.size()), bytes,
                                sizeof bytes, nullptr, utf8 ? nullptr : &usedDefault);
        if (length > 0 && usedDefault == FALSE) {
            stored.Bytes.append(bytes, static_cast<std::size_t>(length));
            continue;
        }
        stored.Bytes += Unheld;
        const std::string name = Named(character);
        if (stored.Unstorable.find(name) == std::string::npos) {
            stored.Unstorable += (stored.Unstorable.empty() ? "" : ", ") + name;
        }
    }
    return stored;
}

StoredText StoredFromUtf8(std::string_view text) {
    return CodePageFromUtf16(Utf16FromUtf8(text));
}

std::string Utf8FromCodePage(std::string_view stored) {
    const auto size = static_cast<int>(stored.size());
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, stored.data(), size, text.data(), size)));
    return Utf8FromUtf16(text);
}

#endif
