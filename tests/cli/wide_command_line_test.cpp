// The companion's arguments from Windows' wide command line: half of a surrogate pair without
// its other half is refused, naming it, before any command runs; a whole pair is a character.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli.h"

TEST(WideCommandLine, HalfOfASurrogatePairIsRefused) {
    static const struct {
        std::vector<const wchar_t*> Arguments;
        int Status;
        const char* Message;
    } cases[] = {
        {{L"add", L"lone.rst", L"1", L"1", L"A", L"Physics\xD800"},
         CliExitUsage,
         "argument 6, 'Physics\xEF\xBF\xBD', holds U+D800"},
        {{L"list", L"\xDC00lone.rst"},
         CliExitUsage,
         "argument 2, '\xEF\xBF\xBDlone.rst', holds U+DC00"},
        {{L"list", L"pair\xD83D\xDE00.rst"},
         CliExitFileError,
         "cannot open result file 'pair\xF0\x9F\x98\x80.rst'"},
    };
    for (const auto& c : cases) {
        std::vector<const wchar_t*> argv{L"gradewick-cli"};
        argv.insert(argv.end(), c.Arguments.begin(), c.Arguments.end());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunGradewickCliWide(static_cast<int>(argv.size()), argv.data(), out, err),
                  c.Status);
        EXPECT_NE(err.str().find(c.Message), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists("lone.rst"));
    }
}

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
