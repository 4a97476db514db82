#include "numlist/BarCode39.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "tests/fakes/RecordingPrintTarget.h"

namespace {

// Rows of a tab-separated fixture without its provenance and heading lines; fields keep
// their blanks (the space character is a field of its own).
std::vector<std::vector<std::string>> ReadTable(const std::string& strName) {
    std::ifstream file(std::string(RZKSET_TESTDATA_DIR) + "/" + strName);
    EXPECT_TRUE(file) << strName;
    std::vector<std::vector<std::string>> aRows;
    std::string strLine;
    bool bHeading = true;
    while (std::getline(file, strLine)) {
        if (strLine.starts_with("#")) {
            continue;
        }
        if (bHeading) {
            bHeading = false;
            continue;
        }
        std::vector<std::string> aFields;
        std::stringstream stream(strLine);
        std::string strField;
        while (std::getline(stream, strField, '\t')) {
            aFields.push_back(strField);
        }
        aRows.push_back(aFields);
    }
    return aRows;
}

std::vector<int> ValuesOf(const std::string& strText) {
    std::vector<int> aValues;
    for (char character : strText) {
        aValues.push_back(static_cast<int>(CBarCode39::CHARACTER_SET.find(character)));
    }
    return aValues;
}

// What a scanner sees in the bars as painted, each widened by half the 1-unit outline on
// either side: the nine-element pattern of every symbol, read from the painted widths
// (3 units narrow, 6 units wide) of its bars and of the spaces between them. Symbols must be
// parted by a narrow gap.
std::vector<unsigned> ReadPatterns(const std::vector<PrintRecord::BarCall>& aBars) {
    auto ElementBit = [](int nPaintedWidth) -> unsigned {
        EXPECT_TRUE(nPaintedWidth == 3 || nPaintedWidth == 6) << nPaintedWidth;
        return nPaintedWidth == 6 ? 1U : 0U;
    };
    EXPECT_EQ(aBars.size() % 5, 0U);
    std::vector<unsigned> aPatterns;
    for (size_t first = 0; first + 5 <= aBars.size(); first += 5) {
        unsigned pattern = 0;
        for (size_t index = first; index < first + 5; ++index) {
            const PrintRecord::BarCall& bar = aBars[index];
            pattern = (pattern << 1) | ElementBit(bar.right - bar.left + 1);
            if (index + 1 < first + 5) {
                pattern = (pattern << 1) | ElementBit(aBars[index + 1].left - bar.right - 1);
            } else if (index + 1 < aBars.size()) {
                EXPECT_EQ(aBars[index + 1].left - bar.right - 1, 3) << "gap after symbol";
            }
        }
        aPatterns.push_back(pattern);
    }
    return aPatterns;
}

std::vector<PrintRecord::BarCall> DrawnBars(const CBarCode39& barCode, int x, int top, int height) {
    PrintRecord record;
    {
        CRecordingPrintTarget target(record);
        target.StartDocument("test");
        target.StartPage();
        barCode.Draw(target, x, top, height);
        target.EndPage();
        target.EndDocument();
    }
    return record.aPages.at(0).aBars;
}

TEST(BarCode39, PatternTableIsThePublishedOne) {
    auto aRows = ReadTable("code39.tsv");
    ASSERT_EQ(aRows.size(), 44U);
    for (const auto& aRow : aRows) {
        ASSERT_EQ(aRow.size(), 3U);
        const std::string& strCharacter = aRow[0];
        unsigned expectedPattern = std::stoul(aRow[2], nullptr, 16);
        if (strCharacter == "*") {
            EXPECT_EQ(CBarCode39::Pattern(CBarCode39::START_STOP), expectedPattern);
            continue;
        }
        int value = std::stoi(aRow[1]);
        EXPECT_EQ(CBarCode39::CHARACTER_SET.at(static_cast<size_t>(value)), strCharacter[0]);
        EXPECT_EQ(CBarCode39::Pattern(value), expectedPattern) << "'" << strCharacter << "'";
        CBarCode39 barCode;
        ASSERT_TRUE(barCode.Encode(strCharacter, false));
        EXPECT_EQ(barCode.Symbols(), (std::vector<int>{43, value, 43}));
    }
}

TEST(BarCode39, CheckCharacterIsTheSumModulo43) {
    auto aRows = ReadTable("code39_check_examples.tsv");
    ASSERT_FALSE(aRows.empty());
    aRows.push_back({"AB-1", "58", "15", "F"});
    for (const auto& aRow : aRows) {
        ASSERT_GE(aRow.size(), 4U);
        const std::string& strData = aRow[0];
        std::vector<int> aExpected{43};
        for (int value : ValuesOf(strData)) {
            aExpected.push_back(value);
        }
        aExpected.push_back(43);

        CBarCode39 barCode;
        ASSERT_TRUE(barCode.Encode(strData, false)) << strData;
        EXPECT_EQ(barCode.Symbols(), aExpected) << strData;

        aExpected.insert(aExpected.end() - 1, std::stoi(aRow[2]));
        ASSERT_TRUE(barCode.Encode(strData, true)) << strData;
        EXPECT_EQ(barCode.Symbols(), aExpected) << strData;
        EXPECT_EQ(CBarCode39::CHARACTER_SET[static_cast<size_t>(aExpected.end()[-2])], aRow[3][0])
            << strData;
    }
}

TEST(BarCode39, CallCodeOfSevenIsEightSymbols309UnitsWide) {
    CBarCode39 barCode;
    ASSERT_TRUE(barCode.Encode("//0007", false));
    EXPECT_EQ(barCode.Symbols(), (std::vector<int>{43, 40, 40, 0, 0, 0, 7, 43}));

    auto aBars = DrawnBars(barCode, 228, 332, 116);
    ASSERT_EQ(aBars.size(), 40U);
    std::vector<unsigned> aExpected;
    for (int symbol : barCode.Symbols()) {
        aExpected.push_back(CBarCode39::Pattern(symbol));
    }
    EXPECT_EQ(ReadPatterns(aBars), aExpected);
    for (const auto& bar : aBars) {
        EXPECT_EQ(bar.top, 332);
        EXPECT_EQ(bar.bottom, 448);
    }
    // The first bar's outline starts half a unit before x and the last one's ends half a
    // unit after its right edge.
    EXPECT_EQ(aBars.front().left, 228);
    EXPECT_EQ(aBars.back().right - aBars.front().left + 1, 309);
    EXPECT_EQ(barCode.Width(), 308);
}

TEST(BarCode39, TextOutsideTheCharacterSetLeavesNoSymbols) {
    for (const std::string& strText :
         {std::string("abc"), std::string("O1234.nc"), std::string("A_B"), std::string("A*B"),
          Utf8ToCp932("ＡＢ").value(), Utf8ToCp932("プログラム1").value()}) {
        CBarCode39 barCode;
        ASSERT_TRUE(barCode.Encode("AB", true));
        EXPECT_FALSE(barCode.Encode(strText, false)) << strText;
        EXPECT_TRUE(barCode.Symbols().empty()) << strText;
        EXPECT_TRUE(DrawnBars(barCode, 0, 0, 100).empty()) << strText;
        EXPECT_EQ(barCode.Width(), 0);
    }
}

}  // namespace
