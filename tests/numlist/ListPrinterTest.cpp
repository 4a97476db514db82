#include "numlist/ListPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "numlist/BarCode39.h"
#include "numlist/FileNo.h"
#include "platform/Text.h"
#include "tests/fakes/FakeUiServices.h"
#include "tests/fakes/RecordingPrintTarget.h"

namespace {

using Pen = CPrintTarget::Pen;
using TextCall = PrintRecord::TextCall;
using LineCall = PrintRecord::LineCall;
using BarCall = PrintRecord::BarCall;

// The recording target measures "W" at the sheet's 38 units as 19 x 38, so H = 38 + 40.
constexpr int cx = 19;
constexpr int H = 78;

std::string Cp932(const char* utf8) {
    return Utf8ToCp932(utf8).value();
}

std::tm StampTime() {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 7;
    time.tm_min = 9;
    return time;
}

CFileNo MakeList(int nEntries) {
    CFileNo list;
    for (int index = 0; index < nEntries; ++index) {
        list.m_aData.push_back({500 + index, Format("PROG%02d.NC", index), Format("R%d", index)});
    }
    return list;
}

struct PrintRun {
    PrintRecord record;
    bool bAsked = false;
    int nMinPage = 0;
    int nMaxPage = 0;
    PrintRange presetRange;
};

// Prints through the fake UI services, whose print dialog records what it was asked and
// answers with a recording target and the chosen range (the preset one when none is given).
PrintRun Print(const CFileNo& list, PrintVariant variant,
               std::optional<PrintRange> chosenRange = std::nullopt,
               const std::string& strTitle = "TITLE") {
    PrintRun run;
    CFakeUiServices ui;
    ui.AnswerPrinter([&](int nMinPage, int nMaxPage, PrintRange& range) {
        run.bAsked = true;
        run.nMinPage = nMinPage;
        run.nMaxPage = nMaxPage;
        run.presetRange = range;
        if (chosenRange) {
            range = *chosenRange;
        }
        return std::make_unique<CRecordingPrintTarget>(run.record);
    });
    PrintFileList(ui, list, strTitle, variant, StampTime);
    EXPECT_TRUE(ui.Boxes().empty());
    return run;
}

// The bars a barcode of the text puts at x, top and height.
std::vector<BarCall> BarsOf(const std::string& strText, int x, int top, int height) {
    PrintRecord record;
    {
        CRecordingPrintTarget target(record);
        target.StartDocument("reference");
        target.StartPage();
        CBarCode39 barCode;
        EXPECT_TRUE(barCode.Encode(strText, false)) << strText;
        barCode.Draw(target, x, top, height);
        target.EndPage();
        target.EndDocument();
    }
    return record.aPages.at(0).aBars;
}

int RowTop(int row) {
    return 4 * H + 2 * row * H;
}

int RowTextY(int row) {
    return RowTop(row) + H / 2 + 20;
}

// Bars whose top lies in the row's band.
std::vector<BarCall> BarsInRow(const PrintRecord::Page& page, int row) {
    std::vector<BarCall> aBars;
    for (const BarCall& bar : page.aBars) {
        if (bar.top >= RowTop(row) && bar.top < RowTop(row + 1)) {
            aBars.push_back(bar);
        }
    }
    return aBars;
}

std::optional<std::string> TextAt(const PrintRecord::Page& page, int x, int y) {
    for (const TextCall& text : page.aTexts) {
        if (text.x == x && text.y == y) {
            return text.strText;
        }
    }
    return std::nullopt;
}

int FilledRows(const PrintRecord::Page& page) {
    int nRows = 0;
    for (int row = 0; row < 15; ++row) {
        nRows += TextAt(page, 6 * cx, RowTextY(row)).has_value() ? 1 : 0;
    }
    return nRows;
}

template <typename Call, typename Key>
std::vector<Call> SortedBy(std::vector<Call> aCalls, Key key) {
    std::sort(aCalls.begin(), aCalls.end(),
              [&](const Call& a, const Call& b) { return key(a) < key(b); });
    return aCalls;
}

std::vector<TextCall> SortedTexts(const std::vector<TextCall>& aTexts) {
    return SortedBy(aTexts, [](const TextCall& text) {
        return std::tie(text.y, text.x, text.strText, text.nFontHeight);
    });
}

std::vector<LineCall> SortedLines(const std::vector<LineCall>& aLines) {
    return SortedBy(aLines, [](const LineCall& line) {
        return std::tie(line.x1, line.y1, line.x2, line.y2, line.pen);
    });
}

TEST(ListPrinter, PagesAndCounterFollowTheListAndTheChosenRange) {
    struct Case {
        int nEntries;
        std::optional<PrintRange> chosenRange;
        int nExpectedMaxPage;
        std::vector<std::string> aExpectedCounters;
        std::vector<int> aExpectedFilledRows;
        int nFirstEntryShown;
    };
    const Case aCases[] = {
        {15, std::nullopt, 1, {"[  1/  1]"}, {15}, 0},
        {16, std::nullopt, 2, {"[  1/  2]", "[  2/  2]"}, {15, 1}, 0},
        {45, PrintRange{2, 2}, 3, {"[  2/  3]"}, {15}, 15},
        // A range reaching beyond the list prints the pages that exist.
        {31, PrintRange{0, 9}, 3, {"[  1/  3]", "[  2/  3]", "[  3/  3]"}, {15, 15, 1}, 0},
    };
    for (const Case& test : aCases) {
        SCOPED_TRACE(test.nEntries);
        PrintRun run = Print(MakeList(test.nEntries), PrintVariant::Number, test.chosenRange);
        ASSERT_TRUE(run.bAsked);
        EXPECT_EQ(run.nMinPage, 1);
        EXPECT_EQ(run.nMaxPage, test.nExpectedMaxPage);
        EXPECT_EQ(run.presetRange.nFromPage, 1);
        EXPECT_EQ(run.presetRange.nToPage, test.nExpectedMaxPage);
        EXPECT_EQ(run.record.aDocuments, std::vector<std::string>{"RZKSET"});
        EXPECT_EQ(run.record.nDocumentsEnded, 1);
        ASSERT_EQ(run.record.aPages.size(), test.aExpectedCounters.size());
        for (size_t page = 0; page < run.record.aPages.size(); ++page) {
            const PrintRecord::Page& printed = run.record.aPages[page];
            EXPECT_EQ(TextAt(printed, 77 * cx, H),
                      "2026/03/05  07:09 " + test.aExpectedCounters[page]);
            EXPECT_EQ(FilledRows(printed), test.aExpectedFilledRows[page]);
            // Rows without an entry keep their lines and nothing else.
            EXPECT_EQ(printed.aLines.size(), 23U);
            EXPECT_EQ(printed.aBars.size(), 40U * test.aExpectedFilledRows[page]);
        }
        EXPECT_EQ(TextAt(run.record.aPages[0], 6 * cx, RowTextY(0)),
                  Format("%4d", 500 + test.nFirstEntryShown));
    }
}

TEST(ListPrinter, EverySheetElementStandsWhereTheLayoutPutsIt) {
    struct Case {
        PrintVariant variant;
        std::array<int, 4> aColumnX;  // number, call code, name, remark
        std::array<int, 3> aDividerX;
        std::array<std::string, 2> aFirstColumn;
        std::array<std::string, 2> aCallCodes;
        std::array<int, 2> aBarCodeX;
        const char* pszFooter;
    };
    const Case aCases[] = {
        {PrintVariant::Number,
         {6, 12, 31, 64},
         {11, 30, 63},
         {"   7", "1234"},
         {"//0007", "//1234"},
         {235, 235},
         "番号指定の指示書　　　　　　　　　　　　　　　ＮＣ装置からの呼び出し　→　Ｏ[指定番号]"
         "　Ｐ[No.]"},
        {PrintVariant::FileName,
         {6, 11, 47, 63},
         {10, 46, 62},
         {"  1", "  2"},
         {"O0007.NC", "PART-2"},
         {339, 378},
         "ファイル名指定の指示書　　　　　　　　　ＮＣ装置からの呼び出し　→　Ｏ[指定番号]（["
         "ファイル名]）"},
    };
    CFileNo list;
    list.m_aData = {{7, "O0007.NC", Cp932("荒加工 φ10")}, {1234, "PART-2", ""}};
    const std::string strTitle = Cp932("第２工場 旋盤");
    for (const Case& test : aCases) {
        SCOPED_TRACE(static_cast<int>(test.variant));
        PrintRun run = Print(list, test.variant, std::nullopt, strTitle);
        ASSERT_EQ(run.record.aPages.size(), 1U);
        const PrintRecord::Page& page = run.record.aPages[0];

        std::vector<TextCall> aExpectedTexts = {
            {6 * cx, H, strTitle, 38},
            {77 * cx, H, "2026/03/05  07:09 [  1/  1]", 38},
            {test.aColumnX[0] * cx, 3 * H + 20, "No.", 38},
            {test.aColumnX[1] * cx, 3 * H + 20, Cp932("呼出コード"), 38},
            {test.aColumnX[2] * cx, 3 * H + 20, Cp932("ファイル名"), 38},
            {test.aColumnX[3] * cx, 3 * H + 20, Cp932("備考"), 38},
            {6 * cx, 35 * H, Cp932(test.pszFooter), 38},
        };
        for (int row = 0; row < 2; ++row) {
            const FILENODATA& entry = list.m_aData[static_cast<size_t>(row)];
            aExpectedTexts.push_back(
                {test.aColumnX[0] * cx, RowTextY(row), test.aFirstColumn[row], 38});
            aExpectedTexts.push_back({test.aColumnX[2] * cx, RowTextY(row), entry.strName, 38});
            aExpectedTexts.push_back({test.aColumnX[3] * cx, RowTextY(row), entry.strEct, 38});
        }
        EXPECT_EQ(SortedTexts(page.aTexts), SortedTexts(aExpectedTexts));

        std::vector<LineCall> aExpectedLines = {
            {5 * cx, 4 * H, 105 * cx, 4 * H, Pen::Thin},
            {5 * cx, 3 * H, 105 * cx, 3 * H, Pen::Thick},
            {5 * cx, 3 * H, 5 * cx, 34 * H, Pen::Thick},
            {105 * cx, 3 * H, 105 * cx, 34 * H, Pen::Thick},
            {5 * cx, 34 * H, 105 * cx, 34 * H, Pen::Thick},
        };
        for (int dividerX : test.aDividerX) {
            aExpectedLines.push_back({dividerX * cx, 3 * H, dividerX * cx, 34 * H, Pen::Thin});
        }
        for (int row = 0; row < 15; ++row) {
            aExpectedLines.push_back(
                {5 * cx, RowTop(row + 1), 105 * cx, RowTop(row + 1), Pen::Thin});
        }
        EXPECT_EQ(SortedLines(page.aLines), SortedLines(aExpectedLines));

        for (int row = 0; row < 2; ++row) {
            const std::vector<BarCall> aBars = BarsInRow(page, row);
            EXPECT_EQ(aBars, BarsOf(test.aCallCodes[row], test.aBarCodeX[row], RowTop(row) + 20,
                                    2 * H - 40))
                << test.aCallCodes[row];
            // Centred between the dividers, so that the quiet zones on both sides (between
            // the painted edges of divider and bars) are alike and wider than half a symbol.
            ASSERT_FALSE(aBars.empty());
            const int nLeftQuiet = aBars.front().left - test.aDividerX[0] * cx - 1;
            const int nRightQuiet = test.aDividerX[1] * cx - aBars.back().right - 1;
            EXPECT_LE(std::abs(nLeftQuiet - nRightQuiet), 1);
            EXPECT_GE(nLeftQuiet, 24);
        }
        EXPECT_EQ(page.aBars.size(), BarsInRow(page, 0).size() + BarsInRow(page, 1).size());
    }
}

TEST(ListPrinter, NumberSheetCutsNamesAt31BytesWithoutSplittingACharacter) {
    const std::string strForty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD";
    const std::string strThirty = strForty.substr(0, 30);
    const std::string strKanji = Cp932("漢");
    struct Case {
        std::string strName;
        std::string strExpected;
    };
    const Case aCases[] = {
        {strForty, strForty.substr(0, 31)},
        // The double-byte character would take bytes 31 and 32: it is left out whole.
        {strThirty + strKanji + "XYZ", strThirty},
        {strThirty.substr(0, 29) + strKanji + "XYZ", strThirty.substr(0, 29) + strKanji},
        {"SHORT", "SHORT"},
    };
    CFileNo list;
    for (const Case& test : aCases) {
        list.m_aData.push_back({static_cast<int>(list.m_aData.size()) + 1, test.strName, strForty});
    }
    const PrintRecord::Page number = Print(list, PrintVariant::Number).record.aPages.at(0);
    const PrintRecord::Page fileName = Print(list, PrintVariant::FileName).record.aPages.at(0);
    for (size_t row = 0; row < std::size(aCases); ++row) {
        SCOPED_TRACE(row);
        const int y = RowTextY(static_cast<int>(row));
        EXPECT_EQ(TextAt(number, 31 * cx, y), aCases[row].strExpected);
        EXPECT_EQ(TextAt(number, 64 * cx, y), strForty);
        EXPECT_EQ(TextAt(fileName, 47 * cx, y), aCases[row].strName);
    }
}

TEST(ListPrinter, FileNameSheetLeavesOutBarcodesOfNamesOutsideCode39) {
    CFileNo list;
    list.m_aData = {{1, "O1234.NC", ""},
                    {1, "prog.nc", ""},
                    {1, Cp932("ＡＢＣ"), ""},
                    {1, "A B$", ""},
                    {1, "ABCDEFGHIJKLMNOP", ""}};
    const PrintRecord::Page page = Print(list, PrintVariant::FileName).record.aPages.at(0);
    EXPECT_EQ(BarsInRow(page, 0), BarsOf("O1234.NC", 339, RowTop(0) + 20, 2 * H - 40));
    EXPECT_TRUE(BarsInRow(page, 1).empty());
    EXPECT_TRUE(BarsInRow(page, 2).empty());
    EXPECT_EQ(BarsInRow(page, 3), BarsOf("A B$", 417, RowTop(3) + 20, 2 * H - 40));
    // Wider than its column: the barcode keeps to the heading's position.
    EXPECT_EQ(BarsInRow(page, 4), BarsOf("ABCDEFGHIJKLMNOP", 11 * cx, RowTop(4) + 20, 2 * H - 40));
    // The rows keep their texts after a name that has no barcode.
    EXPECT_EQ(TextAt(page, 47 * cx, RowTextY(1)), "prog.nc");
    EXPECT_EQ(TextAt(page, 6 * cx, RowTextY(3)), "  4");
}

TEST(ListPrinter, CancelledDialogPrintsNothingAndAnUnstartedDocumentIsReported) {
    CFileNo list = MakeList(3);
    {
        CFakeUiServices ui;
        bool bAsked = false;
        ui.AnswerPrinter([&](int, int, PrintRange&) {
            bAsked = true;
            return std::unique_ptr<CPrintTarget>();
        });
        PrintFileList(ui, list, "TITLE", PrintVariant::Number, StampTime);
        EXPECT_TRUE(bAsked);
        EXPECT_TRUE(ui.Boxes().empty());
    }
    {
        CFakeUiServices ui;
        PrintRecord record;
        ui.AnswerPrinter([&](int, int, PrintRange&) {
            return std::make_unique<CRecordingPrintTarget>(record, false);
        });
        PrintFileList(ui, list, "TITLE", PrintVariant::Number, StampTime);
        EXPECT_EQ(record.aDocuments.size(), 1U);
        EXPECT_TRUE(record.aPages.empty());
        EXPECT_EQ(record.nDocumentsEnded, 0);
        ASSERT_EQ(ui.Boxes().size(), 1U);
        EXPECT_EQ(ui.Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
        EXPECT_EQ(ui.Boxes()[0].strText, "Recording Printerへの印刷を開始できませんでした。");
    }
}

TEST(ListPrinter, TheTimeIsTakenOnceTheDocumentHasStarted) {
    CFakeUiServices ui;
    PrintRecord record;
    ui.AnswerPrinter(
        [&](int, int, PrintRange&) { return std::make_unique<CRecordingPrintTarget>(record); });
    std::vector<size_t> aDocumentsAtClock;
    PrintFileList(ui, MakeList(20), "TITLE", PrintVariant::Number, [&] {
        aDocumentsAtClock.push_back(record.aDocuments.size());
        return StampTime();
    });
    EXPECT_EQ(aDocumentsAtClock, std::vector<size_t>{1});
    ASSERT_EQ(record.aPages.size(), 2U);
}

TEST(ListPrinter, EmptyListAsksNothingAndPrintsNothing) {
    // The fake fails the test on a print dialog that was not scripted.
    CFakeUiServices ui;
    PrintFileList(ui, CFileNo(), "TITLE", PrintVariant::Number, StampTime);
    PrintFileList(ui, CFileNo(), "TITLE", PrintVariant::FileName);
    EXPECT_TRUE(ui.Boxes().empty());
}

}  // namespace
