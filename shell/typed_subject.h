// A subject typed on a screen (the entry screen's Insert, the results view's Rename), as the
// result file stores it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The subject as the result file stores it (the system's ANSI code page), or nothing when it
// cannot be stored as typed, which an "Input Error" box owned by owner then says: a character
// that the code page cannot hold (each one named), or more bytes than a record's subject holds (a
// character of a multi-byte code page takes two). notDone ("The subject was not saved.") and
// retry ("press Insert again") end the box's text.
std::optional<std::string> StoredSubject(const wchar_t* typed, HWND owner, const char* notDone,
                                         const char* retry);

// The text of a screen's field, which holds at most a subject.
std::wstring TypedSubject(HWND dialog, int fieldId);
