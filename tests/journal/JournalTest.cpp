#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "journal/JournalFilter.h"
#include "journal/JournalRecord.h"
#include "platform/Digest.h"
#include "platform/Text.h"
#include "tests/fakes/FullDisk.h"
#include "tests/fakes/TestServers.h"

namespace {

TEST(Sha256Test, KnownDigests) {
    struct Case {
        std::string strInput;
        const char* pszDigest;
    };
    const Case aCases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first padding block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    CTestFolder folder;
    for (const Case& testCase : aCases) {
        EXPECT_EQ(Sha256Hex(testCase.strInput), testCase.pszDigest) << testCase.strInput.size();
        // The same bytes read from a file a piece at a time (a million bytes span several).
        WriteBytes(folder / "bytes", testCase.strInput);
        std::optional<FileDigest> digest = Sha256OfFile(folder / "bytes");
        ASSERT_TRUE(digest);
        EXPECT_EQ(digest->strSha256, testCase.pszDigest) << testCase.strInput.size();
        EXPECT_EQ(digest->nSize, static_cast<int64_t>(testCase.strInput.size()));
    }
    EXPECT_FALSE(Sha256OfFile(folder / "missing"));
    EXPECT_FALSE(Sha256OfFile(folder.Path()));
}

JournalRecord SampleRecord() {
    JournalRecord record;
    record.strTime = "2026-12-11T09:15:02+0900";
    record.strProfile = "１号機";
    record.strTransport = "ftp";
    record.strAddress = "192.168.0.10";
    record.strOperation = "ファイル操作 / 全消去";
    record.strDirection = JournalRecord::kDirectionDeleteOnUnit;
    record.strPcPath = "/home/op/NC/a \"quoted\" \\ name\ttab\x01.nc";
    record.strUnitName = "RzFilesOut/0001";
    record.nSize = 5120;
    record.strSha256 = Sha256Hex("x");
    record.strOutcome = JournalRecord::kOutcomeFailed;
    record.strMessage = "line one\nline two\r";
    record.strKept = Sha256Hex("y");
    record.strSources = "a.nc; b.nc";
    return record;
}

TEST(JournalRecordTest, ALineReadsBackAsItWasWritten) {
    JournalRecord record = SampleRecord();
    std::string strLine = record.ToJsonLine();
    EXPECT_EQ(strLine.find('\n'), std::string::npos);
    std::optional<JournalRecord> back = JournalRecord::FromJsonLine(strLine);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ToJsonLine(), strLine);
    EXPECT_EQ(back->strPcPath, record.strPcPath);
    EXPECT_EQ(back->strMessage, record.strMessage);
    EXPECT_EQ(back->nSize, 5120);
}

// Bytes that are not UTF-8 (a PC path in code page 932, a message with a stray byte, a unit
// name kept as its own bytes): the line is UTF-8 JSON and reads back byte for byte.
TEST(JournalRecordTest, TextsThatAreNotUtf8ReadBackExactly) {
    JournalRecord record = SampleRecord();
    record.strPcPath = "/home/op/NC/\x83\x65\x83\x58\x83\x67 100%.NC";
    record.strMessage = "\xFF\x80 \"x\"";
    record.strUnitName = "UNREG\xEF\xBF\xBD";
    record.strUnitNameBytes = "UNREG\x81";
    std::string strLine = record.ToJsonLine();
    EXPECT_TRUE(IsUtf8(strLine)) << strLine;
    EXPECT_NE(strLine.find(R"("pc_path":"/home/op/NC/テスト 100%.NC")"), std::string::npos);
    EXPECT_NE(strLine.find(R"("pc_path_bytes":"/home/op/NC/%83e%83X%83g%20100%25.NC")"),
              std::string::npos)
        << strLine;
    std::optional<JournalRecord> back = JournalRecord::FromJsonLine(strLine);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->strPcPath, record.strPcPath);
    EXPECT_EQ(back->strMessage, record.strMessage);
    EXPECT_EQ(back->strUnitName, record.strUnitName);
    EXPECT_EQ(back->strUnitNameBytes, record.strUnitNameBytes);
    EXPECT_EQ(back->ToJsonLine(), strLine);
    // Exact bytes that are not escaped as written make the line no record.
    EXPECT_FALSE(JournalRecord::FromJsonLine(R"({"pc_path":"a","pc_path_bytes":"%8"})"));
}

TEST(JournalRecordTest, LinesThatAreNoRecordAreRefused) {
    std::string strLine = SampleRecord().ToJsonLine();
    for (const std::string& strBad :
         {std::string(), std::string("{"), strLine.substr(0, 40),
          strLine.substr(0, strLine.size() - 1), strLine + "x", std::string("{\"size\":\"x\"}"),
          std::string("[1]"), std::string("{\"time\":\"\\u12\"}"),
          // Numbers that are no size: never an exception out of the reader.
          std::string("{\"time\":\"2026-12-11T00:00:00+0900\",\"size\":-}"),
          std::string("{\"size\":-,\"time\":\"x\"}"),
          std::string("{\"size\":99999999999999999999}"), std::string("{\"size\":1.5}"),
          // Not UTF-8, so no JSON; and a known key whose value is of another kind.
          std::string("{\"pc_path\":\"/nc/\xFF.NC\"}"), std::string("{\"profile\":5}")}) {
        EXPECT_FALSE(JournalRecord::FromJsonLine(strBad)) << strBad;
    }
    // Another writer's escapes and spacing read as well.
    std::optional<JournalRecord> other =
        JournalRecord::FromJsonLine(R"({ "profile" : "A\u0042\/c", "size" : 7, "extra": "x" })");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->strProfile, "AB/c");
    EXPECT_EQ(other->nSize, 7);
    // A character beyond the first plane, escaped as a surrogate pair, is one UTF-8 character.
    other = JournalRecord::FromJsonLine(R"({"pc_path":"/nc/\ud83d\ude00.NC"})");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->strPcPath, "/nc/\xF0\x9F\x98\x80.NC");
}

TEST(JournalTest, LinesAreAppendedRotatedAndReadBackInOrder) {
    CTestFolder folder;
    // Room for about two lines a file.
    const int64_t nLineBytes = static_cast<int64_t>(SampleRecord().ToJsonLine().size()) + 1;
    CJournal journal(folder.Path(), nLineBytes * 2 + 10);
    for (int i = 0; i < 7; ++i) {
        JournalRecord record = SampleRecord();
        record.strProfile = i % 2 == 0 ? "A" : "B";
        record.strUnitName = std::to_string(i);
        record.strTime = "2026-12-11T09:15:0" + std::to_string(i) + "+0900";
        ASSERT_TRUE(journal.Append(record));
    }
    std::vector<std::string> aFiles = journal.Files();
    EXPECT_GE(aFiles.size(), 3U);
    for (const std::string& strFile : aFiles) {
        EXPECT_LE(static_cast<int64_t>(std::filesystem::file_size(strFile)), nLineBytes * 2 + 10);
    }
    std::vector<JournalRecord> aRecords = journal.ReadAll();
    ASSERT_EQ(aRecords.size(), 7U);
    for (size_t i = 0; i < aRecords.size(); ++i) {
        EXPECT_EQ(aRecords[i].strUnitName, std::to_string(i));
    }
    EXPECT_EQ(journal.LastTimeOfEachProfile(),
              (std::map<std::string, std::string>{{"A", "2026-12-11T09:15:06+0900"},
                                                  {"B", "2026-12-11T09:15:05+0900"}}));
}

TEST(JournalTest, AFolderThatCannotBeWrittenFailsTheAppend) {
    CTestFolder folder;
    CJournal journal(folder / "missing/", CJournal::kDefaultRotateBytes);
    EXPECT_FALSE(journal.Append(SampleRecord()));
    EXPECT_TRUE(journal.ReadAll().empty());
}

// What an earlier writer left at the end of the file, killed or refused by a full disk in the
// middle of a line: the next line starts on a line of its own and reads back, and the half
// line is counted as skipped, not glued to it.
TEST(JournalTest, TheNextLineNeverStartsBehindHalfALine) {
    const std::string strWhole = SampleRecord().ToJsonLine() + "\n";
    const std::string strHalf = strWhole.substr(0, strWhole.size() / 2);
    struct Case {
        const char* pszName;
        std::string strBefore;
        std::string strLineEndAdded;
        size_t nRecords;
        int nSkipped;
    };
    const Case aCases[] = {
        {"empty", "", "", 1, 0},
        {"whole lines", strWhole, "", 2, 0},
        {"half a line", strHalf, "\n", 1, 1},
        {"a whole and half a line", strWhole + strHalf, "\n", 2, 1},
        {"a blank line", strWhole + "\n", "", 2, 0},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        CTestFolder folder;
        CJournal journal(folder.Path(), CJournal::kDefaultRotateBytes);
        WriteBytes(journal.CurrentPath(), testCase.strBefore);
        ASSERT_TRUE(journal.Append(SampleRecord()));
        EXPECT_EQ(ReadBytes(journal.CurrentPath()),
                  testCase.strBefore + testCase.strLineEndAdded + strWhole);
        int nSkipped = -1;
        EXPECT_EQ(journal.ReadAll(&nSkipped).size(), testCase.nRecords);
        EXPECT_EQ(nSkipped, testCase.nSkipped);
    }
}

// A line the full disk cuts short is taken back whole: the file is as it was, and once there
// is room again the next line follows the earlier ones.
TEST(JournalTest, ALineTheFullDiskCutsShortIsTakenBack) {
    CTestFolder folder;
    CJournal journal(folder.Path(), CJournal::kDefaultRotateBytes);
    ASSERT_TRUE(journal.Append(SampleRecord()));
    const std::string strBefore = ReadBytes(journal.CurrentPath());
    {
        CFullDisk disk(strBefore.size() + 20);
        EXPECT_FALSE(journal.Append(SampleRecord()));
    }
    EXPECT_EQ(ReadBytes(journal.CurrentPath()), strBefore);
    ASSERT_TRUE(journal.Append(SampleRecord()));
    int nSkipped = -1;
    EXPECT_EQ(journal.ReadAll(&nSkipped).size(), 2U);
    EXPECT_EQ(nSkipped, 0);
}

TEST(JournalFilterTest, EachFieldNarrowsTheRowsNewestFirst) {
    std::vector<JournalRecord> aRecords(4, SampleRecord());
    aRecords[0].strProfile = "A";
    aRecords[1].strOperation = "送信";
    aRecords[2].strPcPath = "/nc/Bracket.NC";
    aRecords[3].strTime = "2027-01-02T08:00:00+0900";
    struct Case {
        JournalFilter filter;
        std::vector<int> aRows;
    };
    const Case aCases[] = {
        {{}, {3, 2, 1, 0}},
        {{"A", "", "", ""}, {0}},
        {{"", "送信", "", ""}, {1}},
        {{"", "", "bracket", ""}, {2}},
        {{"", "", "rzfilesout/0001", ""}, {3, 2, 1, 0}},
        {{"", "", "", "2027-01"}, {3}},
        {{"A", "送信", "", ""}, {}},
    };
    for (const Case& testCase : aCases) {
        EXPECT_EQ(testCase.filter.NewestFirst(aRecords), testCase.aRows)
            << testCase.filter.strProfile << "|" << testCase.filter.strOperation << "|"
            << testCase.filter.strName << "|" << testCase.filter.strDate;
    }
}

TEST(JournalFilterTest, TheCsvQuotesWhatNeedsIt) {
    std::vector<JournalRecord> aRecords = {SampleRecord()};
    std::string strCsv = JournalCsv(aRecords, {0});
    std::string strHeader =
        "time,profile,transport,address,operation,direction,pc_path,unit_name,size,sha256,"
        "outcome,message,kept,sources\r\n";
    ASSERT_TRUE(strCsv.starts_with(strHeader));
    EXPECT_EQ(strCsv.substr(strHeader.size()),
              "2026-12-11T09:15:02+0900,１号機,ftp,192.168.0.10,ファイル操作 / 全消去,"
              "delete_on_unit,\"/home/op/NC/a \"\"quoted\"\" \\ name\ttab\x01.nc\","
              "RzFilesOut/0001,5120," +
                  Sha256Hex("x") + ",failed,\"line one\nline two\r\"," + Sha256Hex("y") +
                  ",a.nc; b.nc\r\n");
}

}  // namespace
