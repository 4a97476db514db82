#include "numlist/FileNo.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fakes/FullDisk.h"

namespace {

using namespace std::string_literals;

class FileNoTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / ("fileno_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / "FileList.fno").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    void WriteList(const std::string& strBytes) const {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << strBytes;
    }
    std::string ReadList() const {
        std::ifstream file(m_path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path m_folder;
    std::string m_path;
};

const std::string kHead1 =
    "#ListHead Section Start\r\nPRNTITLE=T\r\nFNOCOUNT=1\r\n#ListHead Section End\r\n";

TEST_F(FileNoTest, WritesTheOneEntryListAsNineLines) {
    CFileNo list;
    list.m_strTitle = "LINE A";
    list.m_aData.push_back({12, "PROG12", ""});
    ASSERT_TRUE(list.Save(m_path));
    EXPECT_EQ(ReadList(),
              "#ListHead Section Start\r\n"
              "PRNTITLE=LINE A\r\n"
              "FNOCOUNT=1\r\n"
              "#ListHead Section End\r\n"
              "#FileNo Section Start\r\n"
              "NO=12\r\n"
              "NAME=PROG12\r\n"
              "ECT=\r\n"
              "#FileNo Section End\r\n");
}

TEST_F(FileNoTest, WritesTheEmptyListAsFourLinesThatLoadAsCountMismatch) {
    CFileNo list;
    list.m_strTitle = "TITLE";
    ASSERT_TRUE(list.Save(m_path));
    EXPECT_EQ(ReadList(),
              "#ListHead Section Start\r\n"
              "PRNTITLE=TITLE\r\n"
              "FNOCOUNT=0\r\n"
              "#ListHead Section End\r\n");

    CFileNo loaded;
    EXPECT_EQ(loaded.Load(m_path), CFileNo::LOAD_COUNT_MISMATCH);
    EXPECT_EQ(loaded.m_strTitle, "TITLE");
    EXPECT_TRUE(loaded.m_aData.empty());
}

TEST_F(FileNoTest, RoundTripKeepsOrderAndRawCp932Bytes) {
    CFileNo list;
    // 表 ends in the byte 0x5C and ソ in 0x7C: both must pass through untouched, and so must a
    // NUL, which the loader accepts.
    list.m_strTitle = "\x95\x5C title = x \0 after NUL"s;
    list.m_aData = {{9999, "  spaced name  ", "\x83\x5C\x83\x7C remark"},
                    {3, "a=b", ""},
                    {4, "NUL\0NAME"s, "\0remark"s},
                    {1, "PROG.NC", "=lead"}};
    ASSERT_TRUE(list.Save(m_path));

    CFileNo loaded;
    loaded.m_aData.push_back({5, "stale", ""});
    ASSERT_EQ(loaded.Load(m_path), CFileNo::LOAD_OK);
    EXPECT_EQ(loaded.m_strTitle, list.m_strTitle);
    ASSERT_EQ(loaded.m_aData.size(), list.m_aData.size());
    for (size_t i = 0; i < list.m_aData.size(); ++i) {
        EXPECT_EQ(loaded.m_aData[i].nNo, list.m_aData[i].nNo);
        EXPECT_EQ(loaded.m_aData[i].strName, list.m_aData[i].strName);
        EXPECT_EQ(loaded.m_aData[i].strEct, list.m_aData[i].strEct);
    }
}

TEST_F(FileNoTest, SaveFailsWithoutFolderAndOnAFullDiskKeepingTheOldFile) {
    CFileNo list;
    EXPECT_FALSE(list.Save((m_folder / "missing" / "FileList.fno").string()));

    WriteList("old");
    for (int nNo = 1; nNo <= 500; ++nNo) {
        list.m_aData.push_back({nNo, "A NAME LONG ENOUGH TO FILL THE DISK", ""});
    }
    {
        CFullDisk fullDisk;
        EXPECT_FALSE(list.Save(m_path));
    }
    EXPECT_EQ(ReadList(), "old");
}

struct LoadCase {
    const char* pszName;
    std::string strBytes;
    int nResult;
    size_t nEntries;
};

// Each file is the smallest that shows its result; entries are those kept after reading.
const LoadCase kLoadCases[] = {
    {"EmptyFile", "", CFileNo::LOAD_UNREADABLE, 0},
    {"HeadNeverEnds", "#ListHead Section Start\nFNOCOUNT=1\n", CFileNo::LOAD_UNREADABLE, 0},
    {"HeadEndWithoutStart", "#ListHead Section End\n", CFileNo::LOAD_END_WITHOUT_START, 0},
    {"HeadStartTwice", "#ListHead Section Start\n#ListHead Section Start\n",
     CFileNo::LOAD_START_TWICE, 0},
    {"NegativeCount", "#ListHead Section Start\nFNOCOUNT=-1\n", CFileNo::LOAD_COUNT_MISMATCH, 0},
    {"ZeroCount", "#ListHead Section Start\n#ListHead Section End\n", CFileNo::LOAD_COUNT_MISMATCH,
     0},
    {"SectionEndWithoutStart", kHead1 + "NO=1\n#FileNo Section End\n",
     CFileNo::LOAD_END_WITHOUT_START, 0},
    {"SectionStartTwice", kHead1 + "#FileNo Section Start\n#FileNo Section Start\n",
     CFileNo::LOAD_START_TWICE, 0},
    {"SectionNeverEnds", kHead1 + "#FileNo Section Start\nNO=1\n", CFileNo::LOAD_UNREADABLE, 0},
    {"SectionWithoutNumber", kHead1 + "#FileNo Section Start\n#FileNo Section End\n",
     CFileNo::LOAD_ENTRY_WITHOUT_NO, 0},
    {"NumberZero", kHead1 + "#FileNo Section Start\nNO=0\n#FileNo Section End\n",
     CFileNo::LOAD_ENTRY_WITHOUT_NO, 0},
    {"NumberNotNumeric", kHead1 + "#FileNo Section Start\nNO=abc\n#FileNo Section End\n",
     CFileNo::LOAD_ENTRY_WITHOUT_NO, 0},
    {"FewerSectionsThanCounted",
     "#ListHead Section Start\nFNOCOUNT=3\n#ListHead Section End\n"
     "#FileNo Section Start\nNO=1\n#FileNo Section End\n"
     "#FileNo Section Start\nNO=2\n#FileNo Section End\n",
     CFileNo::LOAD_UNREADABLE, 2},
    {"MoreSectionsThanCountedAreNotRead",
     kHead1 + "#FileNo Section Start\nNO=1\n#FileNo Section End\n" +
         "#FileNo Section Start\nNO=2\n#FileNo Section End\n",
     CFileNo::LOAD_OK, 1},
    {"SmallestGoodFile", kHead1 + "#FileNo Section Start\nNO=7\n#FileNo Section End\n",
     CFileNo::LOAD_OK, 1},
};

class FileNoLoadTest : public FileNoTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(FileNoLoadTest, GivesTheResultCodeOfTheFirstFault) {
    WriteList(GetParam().strBytes);
    CFileNo list;
    EXPECT_EQ(list.Load(m_path), GetParam().nResult);
    EXPECT_EQ(list.m_aData.size(), GetParam().nEntries);
}

INSTANTIATE_TEST_SUITE_P(Files, FileNoLoadTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& testCase) { return std::string(testCase.param.pszName); });

// A missing file, a folder of that name and a file whose read fails (EIO) all read as
// unreadable: an empty list, never an exception.
TEST_F(FileNoTest, MissingOrUnreadableFileLeavesAnEmptyList) {
    std::filesystem::create_directory(m_folder / "folder.fno");
    for (const std::string& strPath :
         {(m_folder / "none.fno").string(), (m_folder / "folder.fno").string(),
          std::string("/proc/self/mem")}) {
        CFileNo list;
        list.m_strTitle = "before";
        list.m_aData.push_back({1, "A", ""});
        EXPECT_EQ(list.Load(strPath), CFileNo::LOAD_UNREADABLE) << strPath;
        EXPECT_TRUE(list.m_strTitle.empty());
        EXPECT_TRUE(list.m_aData.empty());
    }
}

// A list file far larger than any real one (9,999 entries take about 1.2 MB) is damaged and
// not read: a valid head followed by more than kMaxListFileBytes of one line.
TEST_F(FileNoTest, AFileLargerThanAnyListReadsAsUnreadable) {
    WriteList(kHead1 + "#FileNo Section Start\r\nNO=1\r\nNAME=A\r\n#FileNo Section End\r\n");
    std::filesystem::resize_file(m_path, kMaxListFileBytes + 1);
    CFileNo list;
    EXPECT_EQ(list.Load(m_path), CFileNo::LOAD_UNREADABLE);
    EXPECT_TRUE(list.m_aData.empty());
}

TEST_F(FileNoTest, ReadsLinesByTheirLeadingBytesWhereverKeysStand) {
    // LF line ends, a title before the start marker, trailing text after markers and keys, a
    // key without "=", unknown lines, blanks and a sign before the numbers, and a value holding
    // "=".
    WriteList(
        "PRNTITLE=first\n"
        "junk line\n"
        "#ListHead Section Start (v2)\n"
        "FNOCOUNT= +2xyz\n"
        "#ListHead Section End trailing\n"
        "#FileNo Section Start\r\n"
        "NOTE=17\r\n"
        "NAME= a=b \r\n"
        "ECTX=remark\r\n"
        "#FileNo Section End\r\n"
        "#FileNo Section Start\n"
        "NAME\n"
        "NO=  0042abc\n"
        "#FileNo Section End");
    CFileNo list;
    ASSERT_EQ(list.Load(m_path), CFileNo::LOAD_OK);
    EXPECT_EQ(list.m_strTitle, "first");
    ASSERT_EQ(list.m_aData.size(), 2u);
    EXPECT_EQ(list.m_aData[0].nNo, 17);
    EXPECT_EQ(list.m_aData[0].strName, " a=b ");
    EXPECT_EQ(list.m_aData[0].strEct, "remark");
    EXPECT_EQ(list.m_aData[1].nNo, 42);
    EXPECT_EQ(list.m_aData[1].strName, "NAME");
}

TEST_F(FileNoTest, DuplicateNumbersLoadAndCountAsTaken) {
    WriteList(
        "#ListHead Section Start\nFNOCOUNT=2\n#ListHead Section End\n"
        "#FileNo Section Start\nNO=5\n#FileNo Section End\n"
        "#FileNo Section Start\nNO=5\n#FileNo Section End\n");
    CFileNo list;
    ASSERT_EQ(list.Load(m_path), CFileNo::LOAD_OK);
    EXPECT_EQ(list.m_aData.size(), 2u);
    EXPECT_FALSE(list.IsFreeNo(5));
    EXPECT_TRUE(list.IsFreeNo(6));
}

TEST(FileNoFreeTest, OnlyNumbersFrom1To9999CanBeFree) {
    CFileNo list;
    EXPECT_FALSE(list.IsFreeNo(0));
    EXPECT_FALSE(list.IsFreeNo(-1));
    EXPECT_FALSE(list.IsFreeNo(10000));
    EXPECT_TRUE(list.IsFreeNo(1));
    EXPECT_TRUE(list.IsFreeNo(9999));
}

}  // namespace
