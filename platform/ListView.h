#pragma once

#include <QTableView>

#include <functional>
#include <string>

class CListViewModel;

// A report list whose rows the owner supplies on demand: the view keeps only the number of
// rows and the selection, and asks for the text of each cell it paints, so a list of ten
// thousand rows opens and scrolls at once. Selection and focus belong to row positions, as in
// a virtual list: changing the row count or the owner's data leaves them on the same rows,
// and only DeleteRow moves the states of the rows below it up by one. Multiple selection,
// full-row selection, grid lines, and the selection stays visible without keyboard focus.
class CListView : public QTableView {
    Q_OBJECT

public:
    // The UTF-8 text of a cell; rows and columns outside the owner's data give "".
    using CellTextSource = std::function<std::string(int nRow, int nColumn)>;

    explicit CListView(QWidget* pParent = nullptr);
    ~CListView() override;

    // Without a source every cell is empty (a cover list).
    void SetCellTextSource(CellTextSource source);
    // A left-aligned column as wide as the sample text in the view's current font.
    void AddColumn(const std::string& strHeader, const std::string& strWidthSample);
    int GetColumnCount() const;
    std::string GetColumnHeader(int nColumn) const;

    // Rows added at the end start unselected; rows cut off at the end lose their states. All
    // visible rows are drawn again.
    void SetItemCount(int nRows);
    int GetItemCount() const;

    bool IsSelected(int nRow) const;
    void SetSelected(int nRow, bool bSelected);
    // The focus mark (the row keyboard navigation starts from), not the keyboard focus.
    bool IsFocused(int nRow) const;
    int GetFocusedRow() const;  // -1 when none
    void SetFocused(int nRow);
    // Selects the row, gives it the focus mark and scrolls it into view.
    void SelectFocusAndShow(int nRow);
    void ClearAllSelection();
    // No row keeps the focus mark.
    void ClearFocusedRow();
    // The first selected row after nStart; nStart -1 searches from the top. -1 when none.
    int GetNextSelected(int nStart) const;

    void RedrawRow(int nRow);
    // Removes one row; the selection and focus of the rows below move up with them.
    void DeleteRow(int nRow);
    // Scrolls the row into view; a view not yet shown scrolls when it appears.
    void EnsureVisible(int nRow);

    // The text the view shows in a cell, as it asks the owner for it.
    std::string GetCellText(int nRow, int nColumn) const;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    bool IsRow(int nRow) const;

    CListViewModel* m_pModel;
    int m_nRowToShow = -1;
};
