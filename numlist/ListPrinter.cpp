#include "numlist/ListPrinter.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "numlist/BarCode39.h"
#include "numlist/FileNo.h"
#include "platform/PrintTarget.h"
#include "platform/Text.h"
#include "platform/UiServices.h"

namespace {

constexpr int ROWS_PER_PAGE = 15;
constexpr int FONT_HEIGHT = 38;
constexpr size_t NAME_MAX_BYTES = 31;
constexpr const char* DOCUMENT_NAME = "RZKSET";
constexpr const char* HEADINGS[] = {"No.", "呼出コード", "ファイル名", "備考"};

// What distinguishes the two sheets. X positions are in widths of "W" of the sheet's font;
// each column's texts start at its heading.
struct SheetLayout {
    std::array<int, 4> aColumnX;  // number, call code, name, remark
    std::array<int, 3> aDividerX;
    std::string (*FirstColumn)(const FILENODATA& entry, size_t index);
    std::string (*CallCode)(const FILENODATA& entry);
    size_t nNameMaxBytes;
    // The footer: the sheet's name, ideographic spaces up to the call instruction, and how
    // the NC unit calls a program.
    const char* pszFooterName;
    int nFooterSpaces;
    const char* pszFooterCall;
};

const SheetLayout NUMBER_LAYOUT = {
    {6, 12, 31, 64},
    {11, 30, 63},
    [](const FILENODATA& entry, size_t) { return Format("%4d", entry.nNo); },
    [](const FILENODATA& entry) { return Format("//%04d", entry.nNo); },
    NAME_MAX_BYTES,
    "番号指定の指示書",
    15,
    "ＮＣ装置からの呼び出し　→　Ｏ[指定番号]　Ｐ[No.]",
};

const SheetLayout FILE_NAME_LAYOUT = {
    {6, 11, 47, 63},
    {10, 46, 62},
    [](const FILENODATA&, size_t index) { return Format("%3d", static_cast<int>(index + 1)); },
    [](const FILENODATA& entry) { return entry.strName; },
    std::string::npos,
    "ファイル名指定の指示書",
    9,
    "ＮＣ装置からの呼び出し　→　Ｏ[指定番号]（[ファイル名]）",
};

// The sheet's own words in the code page the printer is given, like every list text.
std::string SheetText(std::string_view utf8) {
    return Utf8ToCp932(utf8).value();
}

std::string Footer(const SheetLayout& layout) {
    std::string strFooter = layout.pszFooterName;
    for (int space = 0; space < layout.nFooterSpaces; ++space) {
        strFooter += "　";
    }
    return SheetText(strFooter + layout.pszFooterCall);
}

std::string TimeStamp(const std::tm& stampTime) {
    char buffer[64];
    size_t length = std::strftime(buffer, sizeof buffer, "%Y/%m/%d  %H:%M ", &stampTime);
    return std::string(buffer, length);
}

// One print job: the target, the measures taken from its font and the texts every page shares.
class CSheet {
public:
    CSheet(CPrintTarget& target, const CFileNo& list, const SheetLayout& layout,
           const std::string& strTitle, const std::tm& stampTime, int nPages)
        : m_target(target),
          m_list(list),
          m_layout(layout),
          m_strTitle(strTitle),
          m_strTimeStamp(TimeStamp(stampTime)),
          m_strFooter(Footer(layout)),
          m_nPages(nPages) {
        for (size_t column = 0; column < m_aHeadings.size(); ++column) {
            m_aHeadings[column] = SheetText(HEADINGS[column]);
        }
        m_target.SetFont(FONT_HEIGHT);
        CPrintTarget::Extent cell = m_target.TextExtent("W");
        m_cx = cell.cx;
        m_H = cell.cy + 40;
    }

    void PrintPage(int nPage) {
        m_target.StartPage();
        PrintHead(nPage);
        for (int row = 0; row < ROWS_PER_PAGE; ++row) {
            PrintRow(row, static_cast<size_t>(nPage - 1) * ROWS_PER_PAGE + row);
        }
        PrintFrame();
        m_target.TextOut(6 * m_cx, 35 * m_H, m_strFooter);
        m_target.EndPage();
    }

private:
    int ColumnX(size_t column) const { return m_layout.aColumnX[column] * m_cx; }

    // A reader needs blank room (a quiet zone) beside the first and last bar, or it takes the
    // divider for part of the symbol; the one character cell between divider and heading
    // (about 1.8 mm) is too little. So the barcode stands in the middle of its column, or at
    // the heading when it is too wide for the column to give it more room.
    int BarCodeX() const {
        const int left = m_layout.aDividerX[0] * m_cx;
        const int right = m_layout.aDividerX[1] * m_cx;
        return std::max(ColumnX(1), left + (right - left - m_barCode.Width()) / 2);
    }

    void PrintHead(int nPage) {
        m_target.TextOut(6 * m_cx, m_H, m_strTitle);
        m_target.TextOut(77 * m_cx, m_H, m_strTimeStamp + Format("[%3d/%3d]", nPage, m_nPages));
        for (size_t column = 0; column < m_aHeadings.size(); ++column) {
            m_target.TextOut(ColumnX(column), 3 * m_H + 20, m_aHeadings[column]);
        }
        m_target.Line(5 * m_cx, 4 * m_H, 105 * m_cx, 4 * m_H, CPrintTarget::Pen::Thin);
    }

    void PrintRow(int row, size_t index) {
        int top = 4 * m_H + 2 * row * m_H;
        if (index < m_list.m_aData.size()) {
            const FILENODATA& entry = m_list.m_aData[index];
            int y = top + m_H / 2 + 20;
            m_target.TextOut(ColumnX(0), y, m_layout.FirstColumn(entry, index));
            m_target.TextOut(ColumnX(2), y, CutBytes(entry.strName, m_layout.nNameMaxBytes));
            m_target.TextOut(ColumnX(3), y, entry.strEct);
            if (m_barCode.Encode(m_layout.CallCode(entry), false)) {
                m_barCode.Draw(m_target, BarCodeX(), top + 20, 2 * m_H - 40);
            }
        }
        m_target.Line(5 * m_cx, top + 2 * m_H, 105 * m_cx, top + 2 * m_H, CPrintTarget::Pen::Thin);
    }

    void PrintFrame() {
        const int left = 5 * m_cx;
        const int right = 105 * m_cx;
        const int top = 3 * m_H;
        const int bottom = 34 * m_H;
        m_target.Line(left, top, right, top, CPrintTarget::Pen::Thick);
        m_target.Line(left, top, left, bottom, CPrintTarget::Pen::Thick);
        m_target.Line(right, top, right, bottom, CPrintTarget::Pen::Thick);
        m_target.Line(left, bottom, right, bottom, CPrintTarget::Pen::Thick);
        for (int dividerX : m_layout.aDividerX) {
            m_target.Line(dividerX * m_cx, top, dividerX * m_cx, bottom, CPrintTarget::Pen::Thin);
        }
    }

    CPrintTarget& m_target;
    const CFileNo& m_list;
    const SheetLayout& m_layout;
    const std::string& m_strTitle;
    const std::string m_strTimeStamp;
    const std::string m_strFooter;
    std::array<std::string, 4> m_aHeadings;
    const int m_nPages;
    int m_cx = 0;
    int m_H = 0;
    CBarCode39 m_barCode;
};

std::tm CurrentLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// The time is taken once the document has started, so the stamp says when the sheet was
// printed, not when the print dialog opened.
void PrintSheets(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                 PrintVariant variant, const std::function<std::tm()>& clock) {
    if (list.m_aData.empty()) {
        return;
    }
    const int nPages = static_cast<int>((list.m_aData.size() + ROWS_PER_PAGE - 1) / ROWS_PER_PAGE);
    const SheetLayout& layout = variant == PrintVariant::Number ? NUMBER_LAYOUT : FILE_NAME_LAYOUT;
    ui.Print(1, nPages, [&](CPrintTarget& target, const PrintRange& range) {
        // A dialog may hand back a range beyond the list; print only pages that exist.
        const int nFirst = std::clamp(range.nFromPage, 1, nPages);
        const int nLast = std::clamp(range.nToPage, nFirst, nPages);
        if (!target.StartDocument(DOCUMENT_NAME)) {
            ui.WarningBox(Format("%sへの印刷を開始できませんでした。", target.Name().c_str()));
            return;
        }
        CSheet sheet(target, list, layout, strTitleCp932, clock(), nPages);
        for (int nPage = nFirst; nPage <= nLast; ++nPage) {
            sheet.PrintPage(nPage);
        }
        target.EndDocument();
    });
}

}  // namespace

void PrintFileList(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                   PrintVariant variant) {
    PrintSheets(ui, list, strTitleCp932, variant, CurrentLocalTime);
}

void PrintFileList(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                   PrintVariant variant, const std::function<std::tm()>& clock) {
    PrintSheets(ui, list, strTitleCp932, variant, clock);
}
