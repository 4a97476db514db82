#include "platform/ListView.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>

#include <algorithm>
#include <vector>

// The rows of a CListView: a count, the column headers and the owner's text source. It holds
// no row data, so the number of rows costs nothing.
class CListViewModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : m_nRows;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_aHeaders.size());
    }

    QVariant data(const QModelIndex& index, int nRole) const override {
        if (nRole != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        return QString::fromStdString(CellText(index.row(), index.column()));
    }

    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override {
        if (orientation != Qt::Horizontal || nRole != Qt::DisplayRole || nSection < 0 ||
            nSection >= columnCount()) {
            return {};
        }
        return QString::fromStdString(m_aHeaders[static_cast<size_t>(nSection)]);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    std::string CellText(int nRow, int nColumn) const {
        return m_source ? m_source(nRow, nColumn) : std::string();
    }

    void SetSource(CListView::CellTextSource source) {
        m_source = std::move(source);
        RedrawAll();
    }

    void AddColumn(const std::string& strHeader) {
        int nColumn = columnCount();
        beginInsertColumns(QModelIndex(), nColumn, nColumn);
        m_aHeaders.push_back(strHeader);
        endInsertColumns();
    }

    std::string Header(int nColumn) const {
        return headerData(nColumn, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
    }

    // Rows are added and cut at the end only, so the selection model keeps every other row's
    // state where it was.
    void SetRowCount(int nRows) {
        nRows = std::max(nRows, 0);
        if (nRows > m_nRows) {
            beginInsertRows(QModelIndex(), m_nRows, nRows - 1);
            m_nRows = nRows;
            endInsertRows();
        } else if (nRows < m_nRows) {
            beginRemoveRows(QModelIndex(), nRows, m_nRows - 1);
            m_nRows = nRows;
            endRemoveRows();
        }
        RedrawAll();
    }

    void RemoveRow(int nRow) {
        beginRemoveRows(QModelIndex(), nRow, nRow);
        --m_nRows;
        endRemoveRows();
    }

    void RedrawRows(int nFirst, int nLast) {
        if (nFirst <= nLast && columnCount() > 0) {
            emit dataChanged(index(nFirst, 0), index(nLast, columnCount() - 1), {Qt::DisplayRole});
        }
    }

private:
    void RedrawAll() { RedrawRows(0, m_nRows - 1); }

    int m_nRows = 0;
    std::vector<std::string> m_aHeaders;
    CListView::CellTextSource m_source;
};

CListView::CListView(QWidget* pParent) : QTableView(pParent), m_pModel(new CListViewModel(this)) {
    setModel(m_pModel);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(false);

    // Keep the selection as visible without the keyboard focus as with it.
    QPalette viewPalette = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        viewPalette.setColor(QPalette::Inactive, role, viewPalette.color(QPalette::Active, role));
    }
    setPalette(viewPalette);
}

CListView::~CListView() = default;

void CListView::SetCellTextSource(CellTextSource source) {
    m_pModel->SetSource(std::move(source));
}

void CListView::AddColumn(const std::string& strHeader, const std::string& strWidthSample) {
    m_pModel->AddColumn(strHeader);
    QFontMetrics metrics(font());
    setColumnWidth(GetColumnCount() - 1,
                   metrics.horizontalAdvance(QString::fromStdString(strWidthSample)));
    verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
}

int CListView::GetColumnCount() const {
    return m_pModel->columnCount();
}

std::string CListView::GetColumnHeader(int nColumn) const {
    return m_pModel->Header(nColumn);
}

void CListView::SetItemCount(int nRows) {
    m_pModel->SetRowCount(nRows);
}

int CListView::GetItemCount() const {
    return m_pModel->rowCount();
}

bool CListView::IsRow(int nRow) const {
    return nRow >= 0 && nRow < GetItemCount() && GetColumnCount() > 0;
}

bool CListView::IsSelected(int nRow) const {
    return IsRow(nRow) && selectionModel()->isRowSelected(nRow, QModelIndex());
}

void CListView::SetSelected(int nRow, bool bSelected) {
    if (!IsRow(nRow)) {
        return;
    }
    QItemSelectionModel::SelectionFlags flags =
        (bSelected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
        QItemSelectionModel::Rows;
    selectionModel()->select(m_pModel->index(nRow, 0), flags);
}

bool CListView::IsFocused(int nRow) const {
    return IsRow(nRow) && GetFocusedRow() == nRow;
}

int CListView::GetFocusedRow() const {
    QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CListView::SetFocused(int nRow) {
    if (IsRow(nRow)) {
        selectionModel()->setCurrentIndex(m_pModel->index(nRow, 0), QItemSelectionModel::NoUpdate);
    }
}

void CListView::SelectFocusAndShow(int nRow) {
    SetSelected(nRow, true);
    SetFocused(nRow);
    EnsureVisible(nRow);
}

void CListView::ClearAllSelection() {
    selectionModel()->clearSelection();
}

void CListView::ClearFocusedRow() {
    selectionModel()->clearCurrentIndex();
}

int CListView::GetNextSelected(int nStart) const {
    // The selection is a list of row blocks: the answer is the lowest row after nStart that
    // any block covers, found without walking the rows.
    int nFound = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        int nCandidate = std::max(range.top(), nStart + 1);
        if (nCandidate <= range.bottom() && (nFound < 0 || nCandidate < nFound)) {
            nFound = nCandidate;
        }
    }
    return nFound;
}

void CListView::RedrawRow(int nRow) {
    if (IsRow(nRow)) {
        m_pModel->RedrawRows(nRow, nRow);
    }
}

void CListView::DeleteRow(int nRow) {
    if (nRow >= 0 && nRow < GetItemCount()) {
        m_pModel->RemoveRow(nRow);
    }
}

void CListView::EnsureVisible(int nRow) {
    if (!isVisible()) {
        // A hidden view has no viewport to scroll yet.
        m_nRowToShow = nRow;
    } else if (IsRow(nRow)) {
        scrollTo(m_pModel->index(nRow, 0));
    }
}

void CListView::showEvent(QShowEvent* pEvent) {
    QTableView::showEvent(pEvent);
    if (m_nRowToShow >= 0) {
        int nRow = m_nRowToShow;
        m_nRowToShow = -1;
        updateGeometries();
        EnsureVisible(nRow);
    }
}

std::string CListView::GetCellText(int nRow, int nColumn) const {
    return m_pModel->CellText(nRow, nColumn);
}
