// gradewick-cli's arguments from Windows' wide command line, in UTF-8 as the core takes them.
#include "cli.h"

#if defined(_WIN32)

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "encoding.h"

namespace {

constexpr wchar_t ReplacementCharacter = 0xFFFD;

// text with each half of a surrogate pair that lacks its other half put as U+FFFD, to be shown;
// lone receives the first such half, or stays 0.
std::wstring WithoutLoneSurrogates(std::wstring_view text, wchar_t& lone) {
    std::wstring shown(text);
    for (std::size_t at = 0; at < shown.size(); ++at) {
        if (IS_HIGH_SURROGATE(shown[at]) && at + 1 < shown.size() &&
            IS_LOW_SURROGATE(shown[at + 1])) {
            ++at;
        } else if (IS_HIGH_SURROGATE(shown[at]) || IS_LOW_SURROGATE(shown[at])) {
            lone = lone != 0 ? lone : shown[at];
            shown[at] = ReplacementCharacter;
        }
    }
    return shown;
}

} // namespace

int RunGradewickCliWide(int argc, const wchar_t* const* argv, std::ostream& out,
                        std::ostream& err) {
    std::vector<std::string> arguments(static_cast<std::size_t>(argc));
    std::vector<const char*> narrow(arguments.size());
    for (int i = 0; i < argc; ++i) {
        wchar_t lone = 0;
        const std::wstring shown = WithoutLoneSurrogates(argv[i], lone);
        if (lone != 0) {
            char code[16];
            static_cast<void>(
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(lone)));
            err << "gradewick-cli: argument " << i << ", '" << Utf8FromUtf16(shown) << "', holds "
                << code
                << ", half of a UTF-16 surrogate pair without its other half, which is no "
                   "character; nothing done\n";
            return CliExitUsage;
        }
        arguments[static_cast<std::size_t>(i)] = Utf8FromUtf16(shown);
        narrow[static_cast<std::size_t>(i)] = arguments[static_cast<std::size_t>(i)].c_str();
    }
    return RunGradewickCli(argc, narrow.data(), out, err);
}

#endif
