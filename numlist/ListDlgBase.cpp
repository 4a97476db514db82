#include "numlist/ListDlgBase.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

#include "app/RZKSETApp.h"
#include "numlist/BikouDlg.h"
#include "numlist/CommandFrame.h"
#include "platform/FieldValidation.h"
#include "platform/Text.h"
#include "unitstore/StoreAction.h"

namespace {

constexpr size_t kTitleBytes = 60;

}  // namespace

CListDlgBase::CListDlgBase(QWidget* pParent) : CCommandDlg(pParent) {}

CListDlgBase::~CListDlgBase() = default;

CUiServices& CListDlgBase::Ui() const {
    return GetApp().Ui();
}

void CListDlgBase::AttachControls(QLineEdit& titleEdit, CListView& fileList, CListView& coverList) {
    m_pTitleEdit = &titleEdit;
    m_pFileList = &fileList;
    m_pCoverList = &coverList;
    LimitFieldBytes(titleEdit, kTitleBytes);
}

bool CListDlgBase::TakeFieldValues() {
    return TakeTextField(*m_pTitleEdit, kTitleBytes, m_strTitleEdit, Ui());
}

void CListDlgBase::PutFieldValues() {
    m_pTitleEdit->setText(QString::fromStdString(Cp932ToDisplay(m_strTitleEdit)));
}

void CListDlgBase::SetUpFileLists(const QFont& font, const std::vector<ListColumn>& aColumns,
                                  CListView::CellTextSource cellText) {
    m_nCount = static_cast<int>(m_fileNo.m_aData.size());
    for (CListView* pList : {m_pFileList, m_pCoverList}) {
        pList->setFont(font);
        for (const ListColumn& column : aColumns) {
            pList->AddColumn(column.strHeader, column.strWidthSample);
        }
        pList->SetItemCount(m_nCount + 1);
    }
    m_pFileList->SetCellTextSource(std::move(cellText));
    m_pFileList->SelectFocusAndShow(BlankRow());
    m_pCoverList->hide();
    m_pFileList->show();
}

std::string CListDlgBase::EntryCellText(int nRow, int nColumn) const {
    if (nRow < 0 || nRow >= m_nCount || static_cast<size_t>(nRow) >= m_fileNo.m_aData.size()) {
        return {};
    }
    const FILENODATA& entry = m_fileNo.m_aData[static_cast<size_t>(nRow)];
    switch (nColumn) {
        case 1:
            return Cp932ToDisplay(entry.strName);
        case 2:
            return Cp932ToDisplay(entry.strEct);
        default:
            return {};
    }
}

int CListDlgBase::FirstSelectedEntry() const {
    int nRow = m_pFileList->GetNextSelected(-1);
    return nRow >= 0 && nRow < BlankRow() ? nRow : -1;
}

void CListDlgBase::ShowEntryRows(int nRow) {
    m_nCount = static_cast<int>(m_fileNo.m_aData.size());
    m_pFileList->SetItemCount(m_nCount + 1);
    m_pFileList->SelectFocusAndShow(nRow);
}

void CListDlgBase::SwapEntries(int nUpper) {
    auto& aData = m_fileNo.m_aData;
    std::swap(aData[static_cast<size_t>(nUpper)], aData[static_cast<size_t>(nUpper) + 1]);
    m_pFileList->RedrawRow(nUpper);
    m_pFileList->RedrawRow(nUpper + 1);
    m_bModified = true;
}

void CListDlgBase::MoveUpCommand(QPushButton& button) {
    if (!TakeFieldValues()) {
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    frame.Cover(*m_pFileList, *m_pCoverList);
    // Each search starts after the row just moved from, so a block moves as a whole; finding
    // row 0 means the block already stands at the top and nothing may move.
    for (int nRow = m_pFileList->GetNextSelected(-1); nRow > 0;
         nRow = m_pFileList->GetNextSelected(nRow)) {
        if (nRow >= BlankRow()) {
            m_pFileList->SetSelected(nRow, false);
            continue;
        }
        SwapEntries(nRow - 1);
        m_pFileList->SetSelected(nRow - 1, true);
        m_pFileList->SetFocused(nRow - 1);
        m_pFileList->SetSelected(nRow, false);
        m_pFileList->EnsureVisible(nRow - 1);
    }
    frame.End();
}

void CListDlgBase::MoveDownCommand(QPushButton& button) {
    if (!TakeFieldValues()) {
        return;
    }
    int nLastEntry = m_pFileList->GetItemCount() - 2;
    if (m_pFileList->IsSelected(nLastEntry)) {
        m_pFileList->setFocus();
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    frame.Cover(*m_pFileList, *m_pCoverList);
    for (int nRow = nLastEntry; nRow >= 0; --nRow) {
        if (!m_pFileList->IsSelected(nRow)) {
            continue;
        }
        SwapEntries(nRow);
        m_pFileList->SetSelected(nRow + 1, true);
        m_pFileList->SetFocused(nRow + 1);
        m_pFileList->SetSelected(nRow, false);
        m_pFileList->EnsureVisible(nRow + 1);
    }
    frame.End();
}

void CListDlgBase::RemarkCommand(QPushButton& button) {
    if (!TakeFieldValues()) {
        return;
    }
    int nFirst = FirstSelectedEntry();
    if (nFirst < 0) {
        m_pFileList->setFocus();
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    CBikouDlg remarkDlg(m_fileNo.m_aData[static_cast<size_t>(nFirst)].strEct, this);
    if (Ui().RunModal(remarkDlg) == QDialog::Accepted) {
        m_bModified = true;
        for (int nRow = FirstSelectedEntry(); nRow >= 0; nRow = FirstSelectedEntry()) {
            m_fileNo.m_aData[static_cast<size_t>(nRow)].strEct = remarkDlg.m_strBikou;
            m_pFileList->RedrawRow(nRow);
            m_pFileList->SetSelected(nRow, false);
        }
    }
    frame.End();
}

void CListDlgBase::DeleteSelectedCommand(
    QPushButton& button, const std::string& strFolder,
    const std::function<std::string(const FILENODATA&)>& storeNameOf) {
    if (!TakeFieldValues()) {
        return;
    }
    if (FirstSelectedEntry() < 0) {
        m_pFileList->setFocus();
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    frame.Cover(*m_pFileList, *m_pCoverList);
    frame.ShowBusy();
    CStoreAction action(GetApp().StoreSettings(), strFolder);
    std::string strFailure;
    while (action.IsOpen()) {
        Ui().PumpMessages();
        int nRow = FirstSelectedEntry();
        if (nRow < 0) {
            break;
        }
        m_bModified = true;
        auto entry = m_fileNo.m_aData.begin() + nRow;
        if (!action.Store().Remove(storeNameOf(*entry))) {
            strFailure = "消去に失敗しました。";
            break;
        }
        m_fileNo.m_aData.erase(entry);
        --m_nCount;
        m_pFileList->DeleteRow(nRow);
    }
    frame.SetMessage(action.Message(strFailure));
    action.Close();
    frame.End();
}
