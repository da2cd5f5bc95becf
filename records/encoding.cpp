#include "encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

#if !defined(_WIN32)

StoredText StoredFromUtf8(std::string_view text) {
    return {std::string(text), {}};
}

#else

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

#endif

// A text of the result file in UTF-8, shown or exported: the UTF-8 check is the same
// everywhere; the code page's table is the platform's (Windows' own, glibc's iconv).
namespace {

// Length of the UTF-8 sequence at the start of text, or 0 when none starts there
// (overlong forms, surrogates and code points past U+10FFFF are not UTF-8).
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, code = lead & 0x1FU;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, code = lead & 0x0FU;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, code = lead & 0x07U;
    }
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3FU);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || surrogate || code > 0x10FFFF ? 0 : length;
}

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

#if defined(_WIN32)

std::string ReadInCodePage(std::string_view stored, unsigned codePage) {
    const auto size = static_cast<int>(stored.size());
    std::wstring text(stored.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(codePage, 0, stored.data(), size, text.data(), size)));
    return Utf8FromUtf16(text);
}

#else

std::string ReadInCodePage(std::string_view stored, unsigned codePage) {
    const iconv_t convert = iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
    const bool opened = reinterpret_cast<std::intptr_t>(convert) != -1; // (iconv_t)-1: failed
    // iconv takes char** for its input but only reads it. A byte of the code page becomes at
    // most three bytes of UTF-8.
    char* in = const_cast<char*>(stored.data());
    std::size_t inLeft = stored.size();
    std::string utf8(4 * stored.size(), '\0');
    char* out = utf8.data();
    std::size_t outLeft = utf8.size();
    while (inLeft > 0) {
        if (opened &&
            iconv(convert, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) {
            break;
        }
        if (opened && errno == E2BIG) {
            break;
        }
        // A byte that the code page leaves undefined, or a lead byte that nothing follows (and
        // every byte when the system has no table of the code page).
        const auto byte = static_cast<unsigned char>(*in++);
        --inLeft;
        if (byte < 0x80) {
            *out++ = static_cast<char>(byte);
            --outLeft;
            continue;
        }
        *out++ = static_cast<char>(0xC0 | (byte >> 6));
        *out++ = static_cast<char>(0x80 | (byte & 0x3F));
        outLeft -= 2;
    }
    if (opened) {
        iconv_close(convert);
    }
    utf8.resize(utf8.size() - outLeft);
    return utf8;
}

#endif

} // namespace

bool IsAnsiCodePage(unsigned codePage) {
    static constexpr std::array<unsigned, 5> Asian = {874, 932, 936, 949, 950};
    return (codePage >= 1250 && codePage <= 1258) ||
           std::find(Asian.begin(), Asian.end(), codePage) != Asian.end();
}

unsigned SystemCodePage() {
#if defined(_WIN32)
    return GetACP();
#else
    return 1252;
#endif
}

std::string Utf8FromStoredText(std::string_view stored, unsigned codePage) {
    return IsUtf8(stored) ? std::string(stored) : ReadInCodePage(stored, codePage);
}

#if defined(_WIN32)

std::string Utf8FromCodePage(std::string_view stored) {
    return ReadInCodePage(stored, CP_ACP);
}

#endif
