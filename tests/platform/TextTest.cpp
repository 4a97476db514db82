#include "platform/Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t index = 0; index + 1 < hex.size(); index += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(index, 2), nullptr, 16));
    }
    return bytes;
}

std::string Utf8Of(char32_t codePoint) {
    std::string text;
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return text;
}

struct Cp932Case {
    std::string strDescription;
    std::string strBytes;
    std::optional<std::string> utf8;  // nullopt: glibc refuses the bytes
};

// The "glibc CP932" column of the reference table: what our conversion must give.
std::vector<Cp932Case> ReadCp932Cases() {
    std::ifstream file(RZKSET_TESTDATA_DIR "/cp932_cases.tsv");
    std::vector<Cp932Case> aCases;
    std::string strLine;
    std::getline(file, strLine);  // provenance
    std::getline(file, strLine);  // header
    const std::string strColumn = "glibc CP932: ";
    while (std::getline(file, strLine)) {
        std::vector<std::string> aFields;
        std::stringstream stream(strLine);
        for (std::string strField; std::getline(stream, strField, '\t');) {
            aFields.push_back(strField);
        }
        size_t column = aFields.size() < 4 ? std::string::npos : aFields[3].find(strColumn);
        if (column == std::string::npos) {
            continue;
        }
        Cp932Case entry{aFields[0], FromHex(aFields[1]), std::nullopt};
        size_t start = column + strColumn.size();
        std::string strResult = aFields[3].substr(start, aFields[3].find('|', start) - start);
        if (strResult.rfind("ERROR", 0) != 0) {
            std::string strText;
            std::stringstream codes(strResult);
            for (std::string strCode; codes >> strCode;) {
                strText +=
                    Utf8Of(static_cast<char32_t>(std::stoul(strCode.substr(2), nullptr, 16)));
            }
            entry.utf8 = strText;
        }
        aCases.push_back(entry);
    }
    return aCases;
}

}  // namespace

TEST(Cp932, DecodesEveryReferenceCaseAsGlibcDoes) {
    std::vector<Cp932Case> aCases = ReadCp932Cases();
    ASSERT_GT(aCases.size(), 50u);
    for (const Cp932Case& entry : aCases) {
        EXPECT_EQ(Cp932ToUtf8(entry.strBytes), entry.utf8) << entry.strDescription;
        if (entry.utf8) {
            EXPECT_EQ(Cp932ToDisplay(entry.strBytes), *entry.utf8) << entry.strDescription;
        }
    }
}

TEST(Cp932, EncodesAndRefusesWhatHasNoCodePageForm) {
    EXPECT_EQ(Utf8ToCp932("表示"), FromHex("955C8EA6"));
    EXPECT_EQ(Utf8ToCp932("ｶﾀｶﾅ"), FromHex("B6C0B6C5"));
    EXPECT_EQ(Utf8ToCp932("\\"), "\\");
    EXPECT_EQ(Utf8ToCp932("emoji \xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932("\xC3\xA9"), std::nullopt);  // é is not in the code page
}

TEST(Cp932, DisplayReplacesOnlyTheBrokenCharacter) {
    EXPECT_EQ(Cp932ToDisplay(FromHex("8341") + "\x80" + "A"),
              "ア\xEF\xBF\xBD"
              "A");
}

TEST(Cp932, TrailBytesAreNeverSeparatorsOrLetters) {
    // ソ is 83 5C, 表 is 95 5C: the 0x5C is a trail byte, not a backslash.
    std::string strPath = FromHex("835C837483675C") + "NAME";  // "ソフト\NAME"
    EXPECT_EQ(FindLastSingleByte(strPath, '\\'), 6u);
    EXPECT_EQ(FindLastSingleByte(FromHex("955C"), '\\'), std::string::npos);
    // ポ is 83 7C: no pipe in it; 82 61 (Ａ..) trail bytes are not lower-case letters.
    EXPECT_EQ(FindLastSingleByte(FromHex("837C"), '|'), std::string::npos);
    EXPECT_EQ(MakeUpper(FromHex("8361") + "abc"), FromHex("8361") + "ABC");
}

TEST(Cp932, UpperCaseCoversFullWidthLettersOnly) {
    EXPECT_EQ(MakeUpper(FromHex("828182828283616263")), FromHex("826082618262414243"));
    EXPECT_EQ(MakeUpper(FromHex("B1DF")), FromHex("B1DF"));  // half-width katakana
    EXPECT_EQ(MakeUpper(FromHex("83BF")), FromHex("83BF"));  // Greek alpha unchanged
    EXPECT_EQ(MakeUpper("o0001.nc"), "O0001.NC");
}

TEST(Cp932, CutNeverSplitsADoubleByteCharacter) {
    std::string strName = std::string(30, 'A') + FromHex("8341") + "B";  // 33 bytes
    EXPECT_EQ(CutBytes(strName, 31), std::string(30, 'A'));
    EXPECT_EQ(CutBytes(strName, 32), std::string(30, 'A') + FromHex("8341"));
    EXPECT_EQ(CutBytes(strName, 100), strName);
    EXPECT_EQ(CutBytes(FromHex("83"), 1), FromHex("83"));  // lone lead byte at the end
}

// Well-formed UTF-8 as JSON readers take it, and the display of file names that are not.
TEST(FileNames, Utf8IsToldApartAndOtherBytesShowReadably) {
    struct Case {
        std::string strBytes;
        bool bUtf8;
        std::string strShown;
    };
    const Case aCases[] = {
        {"", true, ""},
        {"/nc/テスト.NC", true, "/nc/テスト.NC"},
        {"\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
        {"\xF4\x8F\xBF\xBF", true, "\xF4\x8F\xBF\xBF"},  // U+10FFFF, the last
        // Code page 932 bytes, as copied from the unit's USB memory.
        {"/nc/\x83\x65\x83\x58\x83\x67.NC", false, "/nc/テスト.NC"},
        // Neither: each byte of a broken sequence shows as U+FFFD.
        {"a\xC0\xAF\xFF", false, "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong "/"
        {"\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},    // a surrogate
        {"\xF4\x90\x80\x80", false,
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},             // beyond U+10FFFF
        {"\xE3\x81\xFF", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short
        {"x\xFF", false, "x\xEF\xBF\xBD"},
    };
    for (const Case& testCase : aCases) {
        EXPECT_EQ(IsUtf8(testCase.strBytes), testCase.bUtf8) << testCase.strBytes;
        EXPECT_EQ(NameToDisplay(testCase.strBytes), testCase.strShown) << testCase.strBytes;
    }
}

TEST(DecimalValue, ReadsLikeAtoiAndSaturates) {
    struct Case {
        const char* pszText;
        int nExpected;
    } cases[] = {
        {"12", 12},
        {"  7000", 7000},
        {"-5", -5},
        {"+3", 3},
        {"12 34", 12},
        {"0012", 12},
        {"abc", 0},
        {"", 0},
        {"9x", 9},
        {"- 5", 0},
        {"\t\n42", 42},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999", INT_MIN},
    };
    for (const Case& entry : cases) {
        EXPECT_EQ(DecimalValue(entry.pszText), entry.nExpected) << entry.pszText;
    }
}
