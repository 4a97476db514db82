#include "platform/ListView.h"

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QPixmap>

#include <vector>

namespace {

std::vector<int> SelectedRows(const CListView& view) {
    std::vector<int> aRows;
    for (int nRow = view.GetNextSelected(-1); nRow >= 0; nRow = view.GetNextSelected(nRow)) {
        aRows.push_back(nRow);
    }
    return aRows;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_view.resize(400, 300);
        m_view.AddColumn("No.", "9999  ");
        m_view.AddColumn("ファイル名", "1234567890123    ");
        m_view.SetCellTextSource([this](int nRow, int nColumn) {
            ++m_nRequests;
            return nColumn == 0 ? std::to_string(nRow) : std::string("name");
        });
    }

    CListView m_view;
    int m_nRequests = 0;
};

TEST_F(ListViewTest, SelectionAndFocusStayOnRowPositionsUntilARowIsDeleted) {
    m_view.SetItemCount(6);
    m_view.SetSelected(1, true);
    m_view.SetSelected(4, true);
    m_view.SetFocused(4);
    EXPECT_EQ(SelectedRows(m_view), (std::vector<int>{1, 4}));
    EXPECT_EQ(m_view.GetNextSelected(1), 4);
    EXPECT_EQ(m_view.GetNextSelected(4), -1);

    // The owner's data changes under the rows: the states stay where they were.
    m_view.SetItemCount(9);
    EXPECT_EQ(SelectedRows(m_view), (std::vector<int>{1, 4}));
    EXPECT_TRUE(m_view.IsFocused(4));

    m_view.DeleteRow(2);
    EXPECT_EQ(SelectedRows(m_view), (std::vector<int>{1, 3}));
    EXPECT_TRUE(m_view.IsFocused(3));
    EXPECT_EQ(m_view.GetItemCount(), 8);

    m_view.SetItemCount(2);
    EXPECT_EQ(SelectedRows(m_view), (std::vector<int>{1}));
    m_view.SetSelected(1, false);
    m_view.SetSelected(5, true);  // beyond the rows: nothing to select
    EXPECT_EQ(m_view.GetNextSelected(-1), -1);
}

TEST_F(ListViewTest, ColumnsAreMeasuredInTheViewFontAndCellsComeFromTheOwner) {
    CListView cover;
    QFont listFont(QStringLiteral("ＭＳ ゴシック"), 12);
    cover.setFont(listFont);
    cover.AddColumn("備考", "1234567890123456789012345678901234567890  ");
    cover.SetItemCount(3);
    EXPECT_EQ(cover.columnWidth(0), QFontMetrics(listFont).horizontalAdvance(QStringLiteral(
                                        "1234567890123456789012345678901234567890  ")));
    EXPECT_EQ(cover.GetColumnHeader(0), "備考");
    EXPECT_EQ(cover.GetCellText(1, 0), "");

    m_view.SetItemCount(3);
    EXPECT_EQ(m_view.GetColumnCount(), 2);
    EXPECT_EQ(m_view.GetCellText(2, 0), "2");
    EXPECT_EQ(m_view.model()->data(m_view.model()->index(2, 1)).toString(), QStringLiteral("name"));
}

TEST_F(ListViewTest, TenThousandRowsAskOnlyForTheCellsOnScreen) {
    m_view.SetItemCount(10000);
    m_nRequests = 0;
    m_view.SelectFocusAndShow(9999);
    m_view.show();
    m_view.grab();
    EXPECT_GT(m_nRequests, 0);
    EXPECT_LT(m_nRequests, 200);
    EXPECT_TRUE(m_view.IsSelected(9999));
    EXPECT_TRUE(m_view.IsFocused(9999));
    EXPECT_GT(m_view.rowAt(m_view.viewport()->height() - 2), 9900);
}

}  // namespace
