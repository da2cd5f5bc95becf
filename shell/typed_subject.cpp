#include "typed_subject.h"

#include <iterator>

#include "encoding.h"
#include "screen_flow.h"
#include "subject_record.h"

std::optional<std::string> StoredSubject(const wchar_t* typed, HWND owner, const char* notDone,
                                         const char* retry) {
    const StoredText stored = CodePageFromUtf16(typed);
    std::string refusal;
    if (!stored.Unstorable.empty()) {
        refusal = "These characters of the subject cannot be stored in the result file on this "
                  "computer:\n\n" +
                  stored.Unstorable + "\n\n" + notDone + " Write it without them, then " + retry +
                  ".";
    } else if (stored.Bytes.size() >= SubjectSize) {
        refusal = "The subject is too long to be stored: on this computer it takes the room of " +
                  std::to_string(stored.Bytes.size()) + " characters in the result file, and " +
                  std::to_string(SubjectSize - 1) + " fit.\n\n" + notDone + " Shorten it, then " +
                  retry + ".";
    } else {
        return stored.Bytes;
    }
    ShowMessage(refusal.c_str(), "Input Error", MB_OK | MB_ICONWARNING, owner);
    return std::nullopt;
}

std::wstring TypedSubject(HWND dialog, int fieldId) {
    wchar_t typed[SubjectSize] = L"";
    GetDlgItemTextW(dialog, fieldId, typed, static_cast<int>(std::size(typed)));
    return typed;
}
