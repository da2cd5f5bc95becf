// The core's reader against the plain character-at-a-time model, on many generated inputs
// made of the pieces that matter: labels, line ends of both kinds, lone CRs, signs, long
// digit runs, NULs, white space and over-long lines.
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "reference_reader.h"
#include "result_file.h"
#include "test_support.h"

namespace {

std::string RandomResultBytes(std::mt19937& random) {
    static const char* const pieces[] = {
        "Semester 1",
        "Semester 8",
        "Semester ",
        "Physics",
        "\r\n",
        "\r\n",
        "\n",
        "\n",
        "\r",
        "0",
        "3",
        "9",
        "12",
        "-",
        "+",
        "-7",
        "99999999999",
        " ",
        "\t",
        "\v",
        "\f",
        "x",
        "A subject name of quite some length, longer than any field"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces));
    std::uniform_int_distribution<int> length(0, 60);
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
        const std::size_t which = pick(random);
        if (which == std::size(pieces)) {
            bytes += '\0';
        } else {
            bytes += pieces[which];
        }
    }
    return bytes;
}

void ExpectAgreement(const std::string& bytes) {
    RecordTableArray core{};
    RecordTableArray model{};
    const LoadReport got = LoadRecordBytes(bytes, core);
    const LoadReport want = reference::Load(bytes, model);
    EXPECT_EQ(got.RecordsRead, want.RecordsRead);
    EXPECT_EQ(got.MoreThanCapacity, want.MoreThanCapacity);
    EXPECT_FALSE(got.ReadError);
    ExpectSameTable(core, model);
}

TEST(ReaderAgreement, GeneratedInputsReadAsTheModelReadsThem) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = RandomResultBytes(random);
        SCOPED_TRACE(::testing::PrintToString(bytes));
        ExpectAgreement(bytes);
        if (HasFailure()) {
            return;
        }
    }
}

TEST(ReaderAgreement, LongFilesAndFilesCutAnywhere) {
    std::string whole;
    for (int i = 0; i < 120; ++i) {
        whole +=
            FormatRecord(i % 3 == 0 ? "Semester 2" : "Semester 7",
                         std::string(static_cast<std::size_t>(i % 52), 's').c_str(), i % 5, i % 11);
        if (i % 7 == 0) {
            whole += "\r\n \t\n";
        }
    }
    ExpectAgreement(whole);
    for (std::size_t cut = 0; cut < 400 && !HasFailure(); ++cut) {
        SCOPED_TRACE(cut);
        ExpectAgreement(whole.substr(0, cut));
    }
}

} // namespace
