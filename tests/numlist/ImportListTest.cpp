#include "numlist/ImportList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Only a name of four digits that is "%04d" of 1..9999 is a waiting program.
TEST(ImportList, OnlyFourDigitNamesOfOneToNineThousandNineHundredNinetyNineCount) {
    const struct {
        const char* pszName;
        int nNo;
    } aCases[] = {
        {"0012", 12}, {"0003", 3}, {"9999", 9999}, {"0001", 1},     {"0000", 0},
        {"12ab", 0},  {"012", 0},  {"00012", 0},   {" 012", 0},     {"+012", 0},
        {"-001", 0},  {"0x12", 0}, {"", 0},        {"FileList", 0}, {"１２３４", 0},
    };
    for (const auto& testCase : aCases) {
        EXPECT_EQ(WaitingProgramNumber(testCase.pszName), testCase.nNo) << testCase.pszName;
    }
}

TEST(ImportList, ListsTheNumbersOfTheProgramFilesAscending) {
    EXPECT_EQ(ListWaitingPrograms({"0012.fno", "0003.fno", "12ab.fno", "FileList.fno", "0007.FNO",
                                   "0001.x.fno", ".fno"}),
              (std::vector<int>{3, 7, 12}));
    EXPECT_TRUE(ListWaitingPrograms({}).empty());
}

}  // namespace
