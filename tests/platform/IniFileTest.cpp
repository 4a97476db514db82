#include "platform/IniFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Cases of Windows' profile functions (WelliSolutions/IniFileFormatReverseEngineering and
// Wine's kernel32 profile tests, assertions that hold on real Windows).
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("ini_test_" + std::to_string(getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
        m_strPath = (m_folder / "RZKSET.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    void WriteFile(const std::string& strContent) {
        std::ofstream(m_strPath, std::ios::binary) << strContent;
    }
    std::string ReadFile() const {
        std::ifstream file(m_strPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    CIniFile Loaded() const {
        CIniFile ini(m_strPath);
        ini.Load();
        return ini;
    }

    std::filesystem::path m_folder;
    std::string m_strPath;
};

TEST_F(IniFileTest, ReadsAsWindowsProfileFunctionsDo) {
    struct Case {
        const char* pszName;
        const char* pszFile;
        const char* pszSection;
        const char* pszKey;
        const char* pszExpected;
    } cases[] = {
        {"I001 plain",
         "[SectionName]\r\nTestKey=TestValue\r\n[SectionName2]\r\nTestKey2=TestValue2\r\n",
         "SectionName", "TestKey", "TestValue"},
        {"I002 section case", "[SectionName]\r\nTestKey=TestValue\r\n", "SECTIONNAME", "TestKey",
         "TestValue"},
        {"I003 key case", "[SectionName]\r\nTestKey=TestValue\r\n", "SectionName", "testkey",
         "TestValue"},
        {"I005 spaces of the argument", "[SectionName]\r\nTestKey=TestValue\r\n", " SectionName ",
         " TestKey ", "TestValue"},
        {"I006 tab of the argument kept", "[SectionName]\r\nTestKey=TestValue\r\n", "\tSectionName",
         "TestKey", "default"},
        {"blanks around key and value", "[S]\r\n \t key \t=  value \t\r\n", "S", "key", "value"},
        {"blanks inside brackets", "  [ S ]\r\nkey=v\r\n", "S", "key", "v"},
        {"matching quotes removed", "[S]\r\nkey= \" a b \" \r\n", "S", "key", " a b "},
        {"unmatched quotes kept", "[S]\r\nkey=\"a'\r\n", "S", "key", "\"a'"},
        {"no inline comment", "[S]\r\nkey=a ; b # c\r\n", "S", "key", "a ; b # c"},
        {"comment line", "[S]\r\n;key=x\r\n", "S", ";key", "default"},
        {"first duplicate key wins", "[S]\r\nkey=1\r\nkey=2\r\n", "S", "key", "1"},
        {"repeated section ignored", "[S]\r\na=1\r\n[T]\r\n[S]\r\nkey=2\r\n", "S", "key",
         "default"},
        {"lines before any section unreachable", "key=1\r\n[S]\r\n", "", "key", "default"},
        {"lone CR and LF end lines", "[S]\rkey=1\nother=2", "S", "other", "2"},
        {"name ends at first bracket", "[S]x]\r\nkey=1\r\n", "S", "key", "1"},
        {"value with equals sign", "[S]\r\nkey=a=b\r\n", "S", "key", "a=b"},
        {"line without equals is no key", "[S]\r\nkey\r\n", "S", "key", "default"},
        {"cp932 value with trail 0x5C", "[S]\r\nkey=\x83\x5C\r\n", "S", "key", "\x83\x5C"},
    };
    for (const Case& entry : cases) {
        WriteFile(entry.pszFile);
        EXPECT_EQ(Loaded().GetString(entry.pszSection, entry.pszKey, "default"), entry.pszExpected)
            << entry.pszName;
    }
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIntegersReadLikeAtoi) {
    EXPECT_EQ(Loaded().GetString("System", "NC_Dir", "A:\\"), "A:\\");
    EXPECT_EQ(Loaded().GetInt("System", "Sousa", 7), 7);
    // A folder of that name and a file whose read fails (EIO) read as missing.
    std::filesystem::create_directory(m_folder / "folder.ini");
    for (const std::string& strPath :
         {(m_folder / "folder.ini").string(), std::string("/proc/self/mem")}) {
        CIniFile unreadable(strPath);
        unreadable.Load();
        EXPECT_EQ(unreadable.GetInt("System", "Sousa", 7), 7) << strPath;
    }
    WriteFile("[System]\r\nSousa=1x\r\nPasv=abc\r\n");
    EXPECT_EQ(Loaded().GetInt("System", "Sousa", 0), 1);
    EXPECT_EQ(Loaded().GetInt("System", "Pasv", 1), 0);
}

TEST_F(IniFileTest, WritesAsWindowsProfileFunctionsDo) {
    struct Write {
        const char* pszSection;
        const char* pszKey;
        const char* pszValue;
    };
    struct Case {
        const char* pszName;
        const char* pszBefore;  // nullptr: no file
        std::vector<Write> aWrites;
        const char* pszAfter;
    } cases[] = {
        {"I064 new file",
         nullptr,
         {{"SectionName", "TestKey", "TestValue"}},
         "[SectionName]\r\nTestKey=TestValue\r\n"},
        {"I066 sections appended in call order",
         "",
         {{"App1", "key1", "string1"}, {"App1", "key2", "string2"}, {"App2", "key4", "string4"}},
         "[App1]\r\nkey1=string1\r\nkey2=string2\r\n[App2]\r\nkey4=string4\r\n"},
        {"I076 replaced in place, new keys after the last key",
         "[SectionName]\r\nb=value\r\na=value\r\n",
         {{"SectionName", "z", ""},
          {"SectionName", "b", ""},
          {"SectionName", "y", ""},
          {"SectionName", "a", ""}},
         "[SectionName]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
        {"I077 file spelling kept, line end added",
         "[SectionName]\r\nTestKey=TestValue",
         {{"SECTIONNAME", "TESTKEY", "TestValue2"}},
         "[SectionName]\r\nTestKey=TestValue2\r\n"},
        {"I074 unterminated last line gets a line end",
         "Data before first section",
         {{"section1", "key1", "string1"}},
         "Data before first section\r\n[section1]\r\nkey1=string1\r\n"},
        {"I082 spaces of the arguments dropped",
         nullptr,
         {{" sec ", " key ", " value "}},
         "[sec]\r\nkey= value \r\n"},
        {"I088 comments stay, new key after the last key",
         ";comment0\r\n[SectionName]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
         {{"SectionName", "z", ""}, {"SectionName", "a", ""}},
         ";comment0\r\n[SectionName]\r\n;comment1\r\nb=value\r\n;comment2\r\na=\r\nz=\r\n"},
        {"hand-edited file: other sections, LF ends and blanks kept",
         "; settings\n[Other]\nSousa=9\n\n[SYSTEM]\n  sousa = 0\nNC_Dir=/home\n[Tail]\nx=1\n",
         {{"System", "Sousa", "1"}, {"System", "Pasv", "0"}},
         "; "
         "settings\n[Other]\nSousa=9\n\n[SYSTEM]\nsousa=1\nNC_Dir=/home\nPasv=0\r\n[Tail]\nx=1\n"},
    };
    for (const Case& entry : cases) {
        std::filesystem::remove(m_strPath);
        if (entry.pszBefore != nullptr) {
            WriteFile(entry.pszBefore);
        }
        CIniFile ini = Loaded();
        for (const Write& write : entry.aWrites) {
            ini.SetString(write.pszSection, write.pszKey, write.pszValue);
        }
        ASSERT_TRUE(ini.Save()) << entry.pszName;
        EXPECT_EQ(ReadFile(), entry.pszAfter) << entry.pszName;
    }
}

TEST_F(IniFileTest, SaveFailsWithoutItsFolderAndKeepsTheOldFile) {
    CIniFile missing((m_folder / "no" / "RZKSET.ini").string());
    missing.SetString("System", "Sousa", "1");
    EXPECT_FALSE(missing.Save());
}

}  // namespace
