#include "numlist/NamedProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numlist/FileNo.h"
#include "platform/Text.h"

namespace {

std::string Cp932(const char* pszUtf8) {
    return *Utf8ToCp932(pszUtf8);
}

TEST(NamedProgramTest, ListAndStoreNamesFollowTheExtensionSetting) {
    struct {
        const char* pszFile;
        bool bAddDot;
        const char* pszListName;
        const char* pszStoreName;
    } const aCases[] = {
        {"ABC.NC", true, "ABC", "ABC.NC"},    {"abc.def.NC", true, "abc.def", "abc.def.NC"},
        {"NODOT", true, "NODOT", "NODOT.NC"}, {"ABC.NC", false, "ABC.NC", "ABC.NC"},
        {"NODOT", false, "NODOT", "NODOT"},
    };
    for (const auto& testCase : aCases) {
        std::string strListName = NamedListName(testCase.pszFile, testCase.bAddDot);
        EXPECT_EQ(strListName, testCase.pszListName) << testCase.pszFile;
        EXPECT_EQ(NamedStoreName(strListName, testCase.bAddDot, "NC"), testCase.pszStoreName);
    }
    EXPECT_EQ(NamedFilePattern(true, "NC"), "*.NC");
    EXPECT_EQ(NamedFilePattern(false, "NC"), "*");
}

// Upper case as the code page knows it, then at most 14 bytes of the 43 characters of Code 39.
TEST(NamedProgramTest, OnlyShortCode39NamesCanBeCatalogued) {
    struct {
        std::string strName;
        bool bCatalogued;
    } const aCases[] = {
        {"ABC", true},
        {"abc", true},
        {"D-100", true},
        {"A B.$/+%", true},
        {"12345678901234", true},
        {"123456789012345", false},  // 15 bytes
        {"PROG_1", false},           // underscore
        {"A*B", false},              // "*" is the start and stop character, never inside
        {Cp932("ＡＢＣ"), false},
        {Cp932("ａｂ"), false},
        {Cp932("プ"), false},
        {"\xB1", false},  // half-width katakana
    };
    for (const auto& testCase : aCases) {
        EXPECT_EQ(IsCode39Name(MakeUpper(testCase.strName)), testCase.bCatalogued)
            << Cp932ToDisplay(testCase.strName);
    }
    // A trail byte in the range of a..z is no letter and stays as it is.
    EXPECT_EQ(MakeUpper("\x83\x61"
                        "a"),
              "\x83\x61"
              "A");
}

TEST(NamedProgramTest, ComparesNamesIgnoringTheCaseOfLetters) {
    EXPECT_TRUE(EqualsIgnoringCase("abc.NC", "ABC.nc"));
    EXPECT_TRUE(EqualsIgnoringCase("FileNList.fnl", "FILENLIST.FNL"));
    EXPECT_TRUE(EqualsIgnoringCase(Cp932("ａ"), Cp932("Ａ")));
    EXPECT_FALSE(EqualsIgnoringCase("ABC", "ABD"));
    EXPECT_FALSE(EqualsIgnoringCase("\x83\x61", "\x83\x41"));  // trail bytes are no letters
}

TEST(NamedProgramTest, SortsByBytesAndRemovesReservedAndCataloguedNames) {
    std::vector<std::string> aNames = {"abc", "RZKOUT",    "b",  "ABC",           Cp932("あ"),
                                       "A-2", "pvn_rzk70", "B1", "filenlist.fnl", "Z"};
    SortByBytes(aNames);
    EXPECT_EQ(aNames, (std::vector<std::string>{"A-2", "ABC", "B1", "RZKOUT", "Z", "abc", "b",
                                                "filenlist.fnl", "pvn_rzk70", Cp932("あ")}));
    std::vector<FILENODATA> aEntries = {{1, "ABC", ""}, {1, "B1", ""}, {1, "Z", ""}};
    RemoveReservedAndRegistered(aNames, {"FileNList.fnl", "RZKOUT", "RZKIN", "PVN_RZK70"}, aEntries,
                                2);
    // Entries beyond the count do not hide their names.
    EXPECT_EQ(aNames, (std::vector<std::string>{"A-2", "Z", "b", Cp932("あ")}));
}

}  // namespace
