#include "settings/SetData.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fakes/FullDisk.h"

namespace {

class SetDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / ("setdata_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        m_strPath = (m_folder / "profile.txt").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    void WriteFile(const std::string& strContent) const {
        std::ofstream(m_strPath, std::ios::binary) << strContent;
    }
    std::string ReadFile() const {
        std::ifstream file(m_strPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path m_folder;
    std::string m_strPath;
};

const char kDefaultProfileIndex3[] =
    "#RZKSet Section Start\r\nINDEX=3\r\nIP1=192\r\nIP2=168\r\nIP3=0\r\nIP4=102\r\n"
    "MASK1=255\r\nMASK2=255\r\nMASK3=255\r\nMASK4=0\r\nBPS=2\r\nREMOTE_NO=7000\r\n"
    "REMOTE_NO2=7009\r\nOUT_CODE=0\r\nSTOPBIT=1\r\nDOT=NC\r\nSAME=0\r\nADD_DOT=0\r\n"
    "OUT_FILE_NAME=RZKOUT\r\nIN_FILE_NAME=RZKIN\r\nAUTO_IN_CODE=1\r\nIN_CODE=0\r\n"
    "#RZKSet Section End\r\n";

TEST_F(SetDataTest, SavesTheDefaultsByteForByte) {
    CSetData setData;
    setData.INDEX = 3;
    ASSERT_TRUE(setData.SaveProfile(m_strPath));
    EXPECT_EQ(ReadFile(), kDefaultProfileIndex3);
}

TEST_F(SetDataTest, RoundTripsEveryFieldButUnitInDot) {
    CSetData saved;
    saved.IP1 = 10, saved.IP2 = 0, saved.IP3 = 1, saved.IP4 = 254;
    saved.MASK1 = 255, saved.MASK2 = 255, saved.MASK3 = 0, saved.MASK4 = 0;
    saved.BPS = 5, saved.REMOTE_NO = 100, saved.REMOTE_NO2 = 200, saved.OUT_CODE = 1;
    saved.STOPBIT = 0, saved.DOT = "TX=T", saved.SAME = true, saved.ADD_DOT = true;
    saved.OUT_FILE_NAME = "\x8F\x6F\x97\xCD";  // 出力
    saved.IN_FILE_NAME = "IN FILE ", saved.AUTO_IN_CODE = false, saved.IN_CODE = 1;
    saved.INDEX = 12, saved.unitInDot = true;
    ASSERT_TRUE(saved.SaveProfile(m_strPath));
    CSetData loaded;
    ASSERT_EQ(loaded.LoadProfile(m_strPath), 0);
    EXPECT_EQ(loaded.IpAddress(), "10.0.1.254");
    EXPECT_EQ(loaded.MASK3, 0);
    EXPECT_EQ(loaded.BPS, 5);
    EXPECT_EQ(loaded.REMOTE_NO2, 200);
    EXPECT_EQ(loaded.DOT, "TX=T");
    EXPECT_TRUE(loaded.SAME);
    EXPECT_TRUE(loaded.ADD_DOT);
    EXPECT_EQ(loaded.OUT_FILE_NAME, saved.OUT_FILE_NAME);
    EXPECT_EQ(loaded.IN_FILE_NAME, "IN FILE ");
    EXPECT_FALSE(loaded.AUTO_IN_CODE);
    EXPECT_EQ(loaded.IN_CODE, 1);
    EXPECT_EQ(loaded.INDEX, 12);
    EXPECT_FALSE(loaded.unitInDot);
}

TEST_F(SetDataTest, LoadResultsWithTheLinesThatCauseThem) {
    struct Case {
        const char* pszName;
        const char* pszFile;
        int nResult;
    } cases[] = {
        {"markers only", "#RZKSet Section Start\r\n#RZKSet Section End\r\n", 0},
        {"LF line ends", "#RZKSet Section Start\nBPS=3\n#RZKSet Section End", 0},
        {"marker with further text", "#RZKSet Section Start (v2)\r\n#RZKSet Section End!\r\n", 0},
        {"keys outside the markers", "BPS=3\r\n#RZKSet Section Start\r\n#RZKSet Section End\r\n",
         0},
        {"empty file", "", -1},
        {"no end marker", "#RZKSet Section Start\r\nBPS=3\r\n", -1},
        {"end before start", "#RZKSet Section End\r\n#RZKSet Section Start\r\n", -2},
        {"second start",
         "#RZKSet Section Start\r\n#RZKSet Section Start\r\n#RZKSet Section End\r\n", -3},
    };
    for (const Case& entry : cases) {
        WriteFile(entry.pszFile);
        CSetData setData;
        EXPECT_EQ(setData.LoadProfile(m_strPath), entry.nResult) << entry.pszName;
    }
    // Missing, a folder of that name, a file whose read fails (EIO): the result of a file that
    // cannot be opened.
    std::filesystem::create_directory(m_folder / "folder.txt");
    for (const std::string& strPath :
         {(m_folder / "missing.txt").string(), (m_folder / "folder.txt").string(),
          std::string("/proc/self/mem")}) {
        CSetData setData;
        EXPECT_EQ(setData.LoadProfile(strPath), -1) << strPath;
    }
}

TEST_F(SetDataTest, ValuesAreStoredUncheckedAsTheFileHasThem) {
    WriteFile(
        "#RZKSet Section Start\r\nIP4=300\r\nBPS=9\r\nDOT=N=C\r\nOUT_FILE_NAME\r\nSAME=2\r\n"
        "dot=XX\r\nREMOTE_NO=99999999999\r\nIN_CODE=1\r\nIN_CODE=0\r\n#RZKSet Section End\r\n");
    CSetData setData;
    setData.OUT_FILE_NAME = "KEEP";
    ASSERT_EQ(setData.LoadProfile(m_strPath), 0);
    EXPECT_EQ(setData.IP4, 44);
    EXPECT_EQ(setData.BPS, 9);
    EXPECT_EQ(setData.DOT, "N=C");
    EXPECT_EQ(setData.OUT_FILE_NAME, "KEEP");  // a key without "=" is ignored
    EXPECT_TRUE(setData.SAME);
    EXPECT_EQ(setData.REMOTE_NO, 2147483647);
    EXPECT_EQ(setData.IN_CODE, 0);  // the last of a repeated key
    ASSERT_TRUE(setData.SaveProfile(m_strPath));
    EXPECT_NE(ReadFile().find("\r\nSAME=1\r\n"), std::string::npos);
}

TEST_F(SetDataTest, AFailedLoadKeepsWhatWasReadAndResetRestoresDefaults) {
    WriteFile("#RZKSet Section Start\r\nBPS=4\r\n");
    CSetData setData;
    EXPECT_EQ(setData.LoadProfile(m_strPath), -1);
    EXPECT_EQ(setData.BPS, 4);
    setData.unitInDot = true;
    setData.ResetDefaults();
    EXPECT_EQ(setData.BPS, 2);
    EXPECT_FALSE(setData.unitInDot);
    EXPECT_EQ(setData.IpAddress(), "192.168.0.102");
}

TEST_F(SetDataTest, SaveFailsWithoutTheDataFolderAndOnAFullDiskKeepingTheOldFile) {
    CSetData setData;
    EXPECT_FALSE(setData.SaveProfile((m_folder / "Data" / "x.txt").string()));
    WriteFile(kDefaultProfileIndex3);
    setData.BPS = 5;
    {
        CFullDisk fullDisk(100);
        EXPECT_FALSE(setData.SaveProfile(m_strPath));
    }
    EXPECT_EQ(ReadFile(), kDefaultProfileIndex3);
}

}  // namespace
