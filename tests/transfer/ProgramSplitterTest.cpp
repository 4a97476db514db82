#include "transfer/ProgramSplitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <map>

#include "platform/Text.h"
#include "tests/fakes/FullDisk.h"
#include "tests/fakes/TestServers.h"

namespace {

struct NumberCase {
    const char* szLine;
    int nExpected;
};

TEST(GetProgramNumber, ReadsTheAddressOfTheLine) {
    const NumberCase aCases[] = {
        {"O1234", 1234},
        {"O 12", 12},
        {"O12 34", 12},
        {":0100", 100},
        {"N10 O20", 20},
        {"O12X", 12},
        {"(COMMENT) O7", 7},
        {"O-5", -5},
        {"O0000", 0},
        {"O  ", 0},
        {"GOTO 5", -1},
        {"(O5) G00", -1},
        {"G04 (O1", -1},
        {"O(5)", -1},
        {"o1234", -1},
        {"G00 X0 O", -1},
        {"O", -1},
        {"", -1},
        {"O99999999999", INT_MAX},
        {"O-99999999999", INT_MIN},
        // The second byte of the katakana "グ" (0x83 0x4F) is an "O" only to a byte scanner.
        {"\x83\x4F"
         "12",
         -1},
        {"\x83\x4F"
         "12 O3",
         3},
    };
    for (const NumberCase& testCase : aCases) {
        EXPECT_EQ(GetProgramNumber(testCase.szLine), testCase.nExpected)
            << "line \"" << testCase.szLine << "\"";
    }
}

class SplitByProgramNumberTest : public ::testing::Test {
protected:
    bool Split(const std::string& strTape, const std::string& strSuffix = ".NC") {
        WriteBytes(m_source / "tape", strTape);
        return SplitByProgramNumber(m_source / "tape", m_destination.Path(), strSuffix).bOk;
    }
    std::string Output(const std::string& strName) { return ReadBytes(m_destination / strName); }
    std::set<std::string> Outputs() { return FolderEntries(m_destination.Path()); }

    CTestFolder m_source;
    CTestFolder m_destination;
};

TEST_F(SplitByProgramNumberTest, WritesOneFilePerProgramWithCrLfAndFinalPercent) {
    for (const char* szEnd : {"\r\n", "\n"}) {
        std::string strTape;
        for (const char* szLine :
             {"%", "G90 BEFORE THE FIRST PROGRAM", "O0001", "G00 X0", "M30", "O0002", "M30", "%"}) {
            strTape += std::string(szLine) + szEnd;
        }
        ASSERT_TRUE(Split(strTape)) << "line end " << (szEnd[0] == '\r' ? "CR LF" : "LF");
        EXPECT_EQ(Outputs(), (std::set<std::string>{"O0001.NC", "O0002.NC"}));
        EXPECT_EQ(Output("O0001.NC"), "%\r\nO0001\r\nG00 X0\r\nM30\r\n%");
        EXPECT_EQ(Output("O0002.NC"), "%\r\nO0002\r\nM30\r\n%");
    }
}

TEST_F(SplitByProgramNumberTest, NamesCarryAtLeastFourDigitsAndTheSuffix) {
    ASSERT_TRUE(Split("O12345\nM30\n:7\nM30", ".TXT"));
    EXPECT_EQ(Outputs(), (std::set<std::string>{"O12345.TXT", "O0007.TXT"}));
    EXPECT_EQ(Output("O0007.TXT"), "%\r\n:7\r\nM30\r\n%");
}

TEST_F(SplitByProgramNumberTest, LaterProgramWithTheSameNumberReplacesTheEarlier) {
    ASSERT_TRUE(Split("O0001\nFIRST\nO0002\nM30\nO0001\nSECOND\n"));
    EXPECT_EQ(Outputs(), (std::set<std::string>{"O0001.NC", "O0002.NC"}));
    EXPECT_EQ(Output("O0001.NC"), "%\r\nO0001\r\nSECOND\r\n%");
}

TEST_F(SplitByProgramNumberTest, PercentSignsAreRemovedAndLinesLeftEmptyDropped) {
    ASSERT_TRUE(Split("O0001\r\n(END)%G01 X1\r\n%%%\r\n\r\nG01 X10 %\r\n"));
    EXPECT_EQ(Output("O0001.NC"), "%\r\nO0001\r\n(END)G01 X1\r\nG01 X10 \r\n%");
}

TEST_F(SplitByProgramNumberTest, NoProgramStartWritesNothing) {
    EXPECT_TRUE(Split(""));
    EXPECT_TRUE(Split("%\nO0000\nO-5\nG00 X0\n%"));
    EXPECT_TRUE(Outputs().empty());
}

// The lines of a long tape as the split must see them, whatever their line ends: a comment
// holding an "O", a line with a "%", an empty line, and a line longer than the read buffer.
std::string LongTapeLine(int nProgram, int nLine) {
    if (nProgram == 150 && nLine == 10) {
        return "(" + std::string(3 << 20, 'L') + ")";
    }
    switch (nLine % 50) {
        case 5:
            return "(CHECK O-RING)";
        case 7:
            return Format("G01 X%d %%", nLine);
        case 9:
            return "";
        default:
            return Format("N%d G01 X%d.%03d Y-%d", nLine, nProgram, nLine, nLine);
    }
}

TEST_F(SplitByProgramNumberTest, StreamsLongTapesAcrossBufferBoundaries) {
    // Far more than one read buffer, with CR LF throughout (lines are copied many at a time) and
    // with LF and CR LF alternating.
    for (bool bMixedLineEnds : {false, true}) {
        std::string strTape;
        std::map<std::string, std::string> aExpected;
        for (int nProgram = 1; nProgram <= 300; ++nProgram) {
            std::string strHead = Format("O%d", nProgram);
            strTape += strHead + "\r\n";
            std::string strFile = "%\r\n" + strHead + "\r\n";
            for (int nLine = 0; nLine < 400; ++nLine) {
                std::string strLine = LongTapeLine(nProgram, nLine);
                strTape += strLine + (bMixedLineEnds && nLine % 2 == 0 ? "\n" : "\r\n");
                strLine.erase(std::remove(strLine.begin(), strLine.end(), '%'), strLine.end());
                strFile += strLine.empty() ? "" : strLine + "\r\n";
            }
            aExpected[Format("O%04d.NC", nProgram)] = strFile + "%";
        }
        CTestFolder destination;
        WriteBytes(m_source / "tape", strTape);
        ASSERT_TRUE(SplitByProgramNumber(m_source / "tape", destination.Path(), ".NC").bOk);
        ASSERT_EQ(FolderEntries(destination.Path()).size(), aExpected.size());
        for (const auto& [strName, strBytes] : aExpected) {
            EXPECT_TRUE(ReadBytes(destination / strName) == strBytes)
                << strName << " differs, mixed line ends " << bMixedLineEnds;
        }
    }
}

TEST_F(SplitByProgramNumberTest, UnreadableSourceOrMissingDestinationFails) {
    EXPECT_FALSE(SplitByProgramNumber(m_source / "missing", m_destination.Path(), ".NC").bOk);
    EXPECT_FALSE(SplitByProgramNumber(m_source.Path(), m_destination.Path(), ".NC").bOk);
    WriteBytes(m_source / "tape", "O0001\nM30\n");
    EXPECT_FALSE(SplitByProgramNumber(m_source / "tape", m_destination / "missing/", ".NC").bOk);
}

TEST_F(SplitByProgramNumberTest, FileThatCannotBePutInPlaceFailsAndKeepsEarlierFiles) {
    std::filesystem::create_directories(m_destination / "O0002.NC/occupied");
    EXPECT_FALSE(Split("O0001\nM30\nO0002\nM30\nO0003\nM30\n"));
    EXPECT_EQ(Outputs(), (std::set<std::string>{"O0001.NC", "O0002.NC"}));
    EXPECT_EQ(Output("O0001.NC"), "%\r\nO0001\r\nM30\r\n%");
}

TEST_F(SplitByProgramNumberTest, WriteErrorIsAFailureAndLeavesNoPartialFile) {
    std::string strTape = "O0001\nM30\nO0002\n";
    for (int nLine = 0; nLine < 1000; ++nLine) {
        strTape += Format("N%d G01 X%d\n", nLine, nLine);
    }
    WriteBytes(m_source / "tape", strTape);
    SplitResult split;
    {
        CFullDisk fullDisk;
        split = SplitByProgramNumber(m_source / "tape", m_destination.Path(), ".NC");
    }
    EXPECT_FALSE(split.bOk);
    EXPECT_EQ(split.nWritten, 1);
    EXPECT_EQ(split.strFailedName, "O0002.NC");
    EXPECT_EQ(split.nError, EFBIG);
    EXPECT_EQ(Outputs(), (std::set<std::string>{"O0001.NC"}));
    EXPECT_EQ(Output("O0001.NC"), "%\r\nO0001\r\nM30\r\n%");
}

}  // namespace
