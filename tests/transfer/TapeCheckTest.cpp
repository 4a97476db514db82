#include "transfer/TapeCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/fakes/TestServers.h"
#include "transfer/ProgramSplitter.h"
#include "transfer/SampleProgram.h"

namespace {

using Kind = CTapeCheck::Kind;
using Found = std::vector<std::pair<Kind, int>>;

Found Check(const std::string& strTape, bool bOwnFrame = true) {
    CTapeCheck check(7000, 7009);
    check.CheckBytes("tape.nc", strTape, bOwnFrame);
    Found aFound;
    for (const CTapeCheck::Finding& finding : check.Findings()) {
        aFound.emplace_back(finding.kind, finding.nLine);
    }
    return aFound;
}

struct TapeCase {
    const char* pszWhat;
    std::string strTape;
    Found aExpected;
};

TEST(TapeCheck, FindsWhatTheMachineWouldRefuseOrLose) {
    const std::string strLong(257, 'X');
    const std::vector<TapeCase> aCases = {
        {"clean, CR LF", "%\r\nO0001\r\nG00 X0\r\nM30\r\n%", {}},
        {"clean, LF and a final line end", "%\nO0001\nM30\n%\n", {}},
        {"clean, CR alone", "%\rO0001\rM99\r%", {}},
        {"empty file", "", {}},
        {"M02, M2 and leading zeros end a program", "%\nO1\nM2\nO2\nM02\nO3\nM030\n%", {}},
        {"a header comment before the first program", "%\n(PART 7)\nO0001\nM30\n%", {}},
        {"remote instructions need no end", "%\nO7000\n(PROG.NC)\n%", {}},
        {"lower case, tab and Japanese inside a comment", "%\nO1 (d10 \x83\x41)\n\tM30\n%", {}},
        {"a line of exactly the buffer", "%\nO1\n" + std::string(256, 'X') + "\nM30\n%", {}},
        {"duplicate number", "%\nO0001\nM30\nO0001\nM30\n%", {{Kind::DuplicateNumber, 4}}},
        {"colon address", "%\n:0001\nM30\n%", {{Kind::ColonAddress, 2}}},
        {"no opening percent", "O0001\nM30\n%", {{Kind::MissingFrame, 1}}},
        {"no closing percent", "%\nO0001\nM30\n\n", {{Kind::MissingFrame, 3}}},
        {"lower case", "%\nO1\ng00 x0\nM30\n%", {{Kind::LowerCase, 3}}},
        {"Japanese outside a comment", "%\nO1\n\x83\x41 X0\nM30\n%", {{Kind::DroppedCharacter, 3}}},
        {"a character outside the ISO set", "%\nO1\nX1!\nM30\n%", {{Kind::DroppedCharacter, 3}}},
        {"a control character", "%\nO1\nX1\x01\nM30\n%", {{Kind::DroppedCharacter, 3}}},
        {"no program end", "%\nO0001\nG00\n%", {{Kind::NoProgramEnd, 2}}},
        {"M3 and M300 end nothing", "%\nO1\nM3\nM300\n%", {{Kind::NoProgramEnd, 2}}},
        {"M30 inside a comment ends nothing", "%\nO1\n(M30)\n%", {{Kind::NoProgramEnd, 2}}},
        {"a program next to the remote range", "%\nO6999\n%", {{Kind::NoProgramEnd, 2}}},
        {"a tape without program number", "%\nG00 X0\n%", {{Kind::NoProgramEnd, 2}}},
        {"a block longer than the buffer", "%\nO1\n" + strLong + "\nM30\n%", {{Kind::LongLine, 3}}},
        {"several at once",
         "O1\ng0\nO1\n",
         {{Kind::LowerCase, 2},
          {Kind::NoProgramEnd, 1},
          {Kind::DuplicateNumber, 3},
          {Kind::NoProgramEnd, 3},
          {Kind::MissingFrame, 1},
          {Kind::MissingFrame, 3}}},
    };
    for (const TapeCase& tapeCase : aCases) {
        EXPECT_EQ(Check(tapeCase.strTape), tapeCase.aExpected) << tapeCase.pszWhat;
    }
}

TEST(TapeCheck, APartOfAMergedTapeNeedsNoFrameButSharesItsNumbers) {
    CTapeCheck check(7000, 7009);
    check.StartTape();
    check.CheckBytes("a.nc", "O0001\nM30\n", false);
    check.CheckBytes("b.nc", "O0001\nM30\n", false);
    ASSERT_EQ(check.Findings().size(), 1u);
    EXPECT_EQ(check.Findings()[0].kind, Kind::DuplicateNumber);
    EXPECT_EQ(check.Findings()[0].strFileName, "b.nc");

    check.StartTape();
    check.CheckBytes("c.nc", "O0001\nM30\n", false);
    EXPECT_EQ(check.Findings().size(), 1u) << "a new tape starts without numbers";
}

TEST(TapeCheck, SummaryCountsEachKindAndDetailsNameFileLineAndText) {
    CTapeCheck check(7000, 7009);
    check.CheckBytes("部品.nc", "%\nO1\ng1 x2\nO1\n%", true);
    EXPECT_EQ(check.Summary(),
              "テープの確認で4件の注意があります。\nＯ番号の重複 1件\n小文字 1件\n"
              "M30・M99・M02なし 2件");
    EXPECT_EQ(check.Details(),
              "部品.nc 3行目: 小文字「g1 x2」\n"
              "部品.nc 2行目: M30・M99・M02なし「O1」\n"
              "部品.nc 4行目: Ｏ番号の重複「O1」\n"
              "部品.nc 4行目: M30・M99・M02なし「O1」\n");

    CTapeCheck many(7000, 7009);
    std::string strTape = "%\nO1\n";
    for (int nLine = 0; nLine < 150; ++nLine) {
        strTape += "x1 (" + std::string(60, 'A') + ")\n";
    }
    many.CheckBytes("many.nc", strTape + "M30\n%", true);
    const std::string strDetails = many.Details();
    EXPECT_EQ(std::count(strDetails.begin(), strDetails.end(), '\n'), 101);
    EXPECT_TRUE(strDetails.ends_with("ほか50件\n"));
    EXPECT_NE(strDetails.find("「x1 (" + std::string(36, 'A') + "…」"), std::string::npos);
    EXPECT_TRUE(CTapeCheck(7000, 7009).Summary().empty());
}

// What the program itself writes must pass: the samples, and the files of a split tape.
TEST(TapeCheck, TheSamplesAndTheSplitFilesPass) {
    CTestFolder folder;
    const std::vector<std::pair<int, int>> aSamples = {
        {SAMPLE_SEND_CHECK, 100}, {SAMPLE_CALL_BY_NAME, 7000}, {SAMPLE_CALL_BY_NUMBER, 7009}};
    for (auto [nKind, nNumber] : aSamples) {
        const std::string strPath = folder.Path() + "sample";
        ASSERT_TRUE(WriteSampleProgram(strPath, nKind, nNumber, "PROG.NC", 12));
        CTapeCheck check(7000, 7009);
        check.CheckFile(strPath, "sample", true);
        EXPECT_EQ(check.Summary(), "") << ReadBytes(strPath);
    }

    WriteBytes(folder / "tape", "%\r\nO0001\r\nG00 X0\r\nM30\r\nO0002 (B)\r\nM99\r\n%");
    ASSERT_TRUE(SplitByProgramNumber(folder / "tape", folder.Path(), ".NC").bOk);
    for (const char* pszName : {"O0001.NC", "O0002.NC"}) {
        CTapeCheck check(7000, 7009);
        check.CheckFile(folder / pszName, pszName, true);
        EXPECT_EQ(check.Summary(), "") << pszName;
    }
}

}  // namespace
