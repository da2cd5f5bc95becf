// The fixed vocabulary: grades, credit choices, semester labels and the empty record.
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "grade_scale.h"
#include "subject_record.h"

namespace {

TEST(GradeScale, LettersAndPointTextsInListOrder) {
    const char* letters[] = {"A", "A-", "B+", "B", "B-", "C+", "C", "C-", "D+", "D"};
    const char* points[] = {"4.0", "3.7", "3.3", "3.0", "2.7", "2.3", "2.0", "1.7", "1.3", "1.0"};
    std::set<std::string> distinct;
    for (int g = 0; g < GradeCount; ++g) {
        EXPECT_STREQ(GradeLetter(g), letters[g]);
        EXPECT_STREQ(GradePointText(g), points[g]);
        EXPECT_EQ(GradeIndexOfLetter(letters[g]), g);
        distinct.insert(GradeLetter(g));
    }
    EXPECT_EQ(distinct.size(), 10U);
    EXPECT_EQ(GradeLetter(-1), nullptr);
    EXPECT_EQ(GradeLetter(10), nullptr);
    EXPECT_EQ(GradePointText(UnsetIndex), nullptr);
    EXPECT_FALSE(GradeIndexOfLetter("D-").has_value());
    EXPECT_FALSE(GradeIndexOfLetter("a").has_value());
    EXPECT_FALSE(GradeIndexOfLetter(nullptr).has_value());
}

TEST(GradeScale, TheThresholdIsTheWeightOfAMinus) {
    EXPECT_FALSE(GradeScale[1].IntegerWeight);
    EXPECT_EQ(GradeScale[1].RealWeight, GoodGpaThreshold);
    for (int g : {0, 3, 6, 9}) {
        EXPECT_TRUE(GradeScale[static_cast<std::size_t>(g)].IntegerWeight) << g;
    }
    EXPECT_EQ(GradeScale[9].WholeWeight, 1);
}

TEST(CreditsAndSemesters, LookupsAnswerOnlyForTheirRange) {
    for (int c = 0; c < CreditChoiceCount; ++c) {
        EXPECT_EQ(CreditValue(c), c + 1);
        EXPECT_EQ(std::string(CreditText(c)), std::to_string(c + 1));
    }
    EXPECT_FALSE(CreditValue(4).has_value());
    EXPECT_FALSE(CreditValue(-1).has_value());
    EXPECT_EQ(CreditText(UnsetIndex), nullptr);
    EXPECT_STREQ(SemesterLabel(2), "Semester 3");
    EXPECT_STREQ(SemesterLabel(7), "Semester 8");
    EXPECT_EQ(SemesterLabel(8), nullptr);
    EXPECT_EQ(SemesterLabel(-1), nullptr);
}

TEST(RecordTable, ResetMakesEveryEntryTheEmptyRecord) {
    for (SubjectRecord& record : RecordTable) {
        std::memcpy(record.Label, "Semester 1\n", 12);
        std::memcpy(record.Subject, "Old\n", 5);
        record.CreditIndex = 2;
        record.GradeIndex = 3;
    }
    ResetRecordTable();
    for (const SubjectRecord& record : RecordTable) {
        EXPECT_STREQ(record.Label, "");
        EXPECT_STREQ(record.Subject, "");
        EXPECT_EQ(record.CreditIndex, UnsetIndex);
        EXPECT_EQ(record.GradeIndex, UnsetIndex);
    }
    EXPECT_EQ(RecordTable.size(), 100U);
}

} // namespace
