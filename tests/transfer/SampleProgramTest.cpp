#include "transfer/SampleProgram.h"

#include <gtest/gtest.h>

#include "tests/fakes/TestServers.h"

namespace {

TEST(WriteSampleProgram, WritesEachKindByteForByte) {
    struct Case {
        int nKind;
        int nProgramNumber;
        const char* szExpected;
    };
    const Case aCases[] = {
        {SAMPLE_SEND_CHECK, 100, "%\r\nO100\r\nM30\r\n%"},
        {SAMPLE_CALL_BY_NAME, 7000, "%\r\nO7000\r\n(TEST)\r\n%"},
        {SAMPLE_CALL_BY_NUMBER, 7000, "%\r\nO7000\r\nP1\r\n%"},
    };
    CTestFolder folder;
    for (const Case& testCase : aCases) {
        ASSERT_TRUE(WriteSampleProgram(folder / "RZKOUT.NC", testCase.nKind,
                                       testCase.nProgramNumber, "TEST", 1));
        EXPECT_EQ(ReadBytes(folder / "RZKOUT.NC"), testCase.szExpected)
            << "kind " << testCase.nKind;
    }
    EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"RZKOUT.NC"}));
}

TEST(WriteSampleProgram, FailsWhenTheFileCannotBeCreated) {
    CTestFolder folder;
    EXPECT_FALSE(WriteSampleProgram(folder / "missing/RZKOUT", SAMPLE_SEND_CHECK, 100, "", 1));
}

TEST(SampleRangeError, RemoteSamplesNeedTheRangeAndTheSendCheckAvoidsIt) {
    const std::string strOutside = "Ｏ番号がリモート指示範囲にありません。";
    const std::string strInside = "Ｏ番号がリモート指示範囲にあります。";
    struct Case {
        int nKind;
        int nProgramNumber;
        std::string strExpected;
    };
    const Case aCases[] = {
        {SAMPLE_CALL_BY_NUMBER, 7000, ""},       {SAMPLE_CALL_BY_NUMBER, 7009, ""},
        {SAMPLE_CALL_BY_NAME, 7009, ""},         {SAMPLE_CALL_BY_NUMBER, 7010, strOutside},
        {SAMPLE_CALL_BY_NAME, 6999, strOutside}, {SAMPLE_SEND_CHECK, 7000, strInside},
        {SAMPLE_SEND_CHECK, 7009, strInside},    {SAMPLE_SEND_CHECK, 6999, ""},
        {SAMPLE_SEND_CHECK, 7010, ""},
    };
    for (const Case& testCase : aCases) {
        EXPECT_EQ(SampleRangeError(testCase.nKind, testCase.nProgramNumber, 7000, 7009),
                  testCase.strExpected)
            << "kind " << testCase.nKind << " number " << testCase.nProgramNumber;
    }
}

}  // namespace
