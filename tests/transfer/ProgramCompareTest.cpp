#include "transfer/ProgramCompare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CompareCase {
    const char* pszOld;
    const char* pszNew;
    const char* pszDifference;  // nullptr: the same program
};

TEST(ProgramCompare, FindsTheFirstDifferingLineWhateverTheLineEnds) {
    const std::vector<CompareCase> aCases = {
        {"", "", nullptr},
        {"%\r\nO1\r\nM30\r\n%", "%\r\nO1\r\nM30\r\n%", nullptr},
        {"%\nO1\nM30\n%\n", "%\r\nO1\r\nM30\r\n%", nullptr},
        {"%\rO1\rM30\r%", "%\nO1\nM30\n%", nullptr},
        {"%\nO1\nG00 X0\n", "%\nO1\nG00 X1\n", "3行目「G00 X0」→「G00 X1」"},
        {"%\nO1\n", "%\nO1\nM30\n", "3行目「（なし）」→「M30」"},
        {"%\nO1\n\nM30", "%\nO1\nM30", "3行目「」→「M30」"},
        {"O1 (\x83\x41)", "O1 (\x83\x43)", "1行目「O1 (ア)」→「O1 (イ)」"},
        {"X", "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY",
         "1行目「X」→「YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY…」"},
    };
    for (const CompareCase& compareCase : aCases) {
        const ProgramDifference difference =
            FirstDifference(compareCase.pszOld, compareCase.pszNew);
        ASSERT_EQ(difference.bDiffers, compareCase.pszDifference != nullptr) << compareCase.pszOld;
        if (difference.bDiffers) {
            EXPECT_EQ(DifferenceText(difference), compareCase.pszDifference);
        }
    }
}

}  // namespace
