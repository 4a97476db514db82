#include "settings/SelRzkDlg.h"

#include <QAbstractItemView>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/ListView.h"
#include "settings/RzkNameDlg.h"

CSelRzkDlg::CSelRzkDlg(QWidget* pParent) : CDialog(pParent), m_folder(GetApp().ExeDir + "Data/") {
    SetUp(QStringLiteral("RZK選択"), DialogFont(QStringLiteral("MS Shell Dlg"), 8), 177, 175);
    m_pList = AddList(1010, 7, 7, 106, 161);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    AddButtons<CSelRzkDlg>({
        {1011, "追加", 120, 7, 50, &CSelRzkDlg::OnAdd},
        {1012, "名称変更", 120, 33, 50, &CSelRzkDlg::OnRename},
        {1013, "削除", 120, 57, 50, &CSelRzkDlg::OnDelete},
        {1, "OK", 120, 133, 50, &CSelRzkDlg::OnOK},
        {2, "キャンセル", 120, 154, 50, &CSelRzkDlg::reject},
    });
    Button(1).setDefault(true);
}

bool CSelRzkDlg::OnInitDialog() {
    m_pList->setFont(GetApp().ListFont);
    m_pList->AddColumn("名称", "12345678901234  ");
    m_pList->SetCellTextSource([this](int nRow, int nColumn) {
        bool bName = nColumn == 0 && nRow >= 0 && nRow < static_cast<int>(m_aNames.size());
        return bName ? m_aNames[static_cast<size_t>(nRow)] : std::string();
    });
    FillList(GetApp().SetFileName);
    return true;
}

void CSelRzkDlg::FillList(const std::string& strSelect) {
    CUiServices& ui = GetApp().Ui();
    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
    ui.PumpMessages();
    m_aNames = m_folder.Names();
    int nSelect = 0;
    for (int nRow = 0; nRow < static_cast<int>(m_aNames.size()); ++nRow) {
        if (m_aNames[static_cast<size_t>(nRow)] == strSelect) {
            nSelect = nRow;
        }
    }
    m_pList->ClearAllSelection();
    m_pList->SetItemCount(static_cast<int>(m_aNames.size()));
    if (!m_aNames.empty()) {
        m_pList->SelectFocusAndShow(nSelect);
    }
    pBusy->Close();
    m_pList->setFocus();
}

const std::string* CSelRzkDlg::SelectedName() const {
    int nRow = m_pList->GetNextSelected(-1);
    if (nRow < 0 || nRow >= static_cast<int>(m_aNames.size())) {
        return nullptr;
    }
    return &m_aNames[static_cast<size_t>(nRow)];
}

std::string CSelRzkDlg::AskName() {
    CRzkNameDlg nameDlg(this);
    if (GetApp().Ui().RunModal(nameDlg) != QDialog::Accepted) {
        return {};
    }
    return nameDlg.m_strName;
}

void CSelRzkDlg::OnOK() {
    const std::string* pName = SelectedName();
    if (pName == nullptr) {
        return;
    }
    GetApp().SelectProfile(*pName);
    accept();
}

void CSelRzkDlg::OnAdd() {
    CUiServices& ui = GetApp().Ui();
    int nIndex = 0;
    {
        std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
        nIndex = m_folder.NextIndex();
    }
    std::string strName = AskName();
    if (strName.empty()) {
        return;
    }
    if (m_folder.Contains(strName)) {
        ui.WarningBox("既に作成済みです。");
        return;
    }
    bool bCreated = m_folder.Create(strName, nIndex);
    FillList(strName);
    if (!bCreated) {
        ui.WarningBox("新しい設定が作成できませんでした。");
    }
}

void CSelRzkDlg::OnRename() {
    const std::string* pName = SelectedName();
    if (pName == nullptr) {
        return;
    }
    CUiServices& ui = GetApp().Ui();
    std::string strOldName = *pName;
    if (strOldName == GetApp().SetFileName) {
        ui.WarningBox("選択中の設定は変更できません。");
        return;
    }
    std::string strNewName = AskName();
    if (strNewName.empty()) {
        return;
    }
    if (strNewName == strOldName) {
        ui.WarningBox("既に作成済みです。");
        return;
    }
    if (!m_folder.Rename(strOldName, strNewName)) {
        ui.WarningBox("名称変更に失敗しました。");
        return;
    }
    FillList(strNewName);
}

void CSelRzkDlg::OnDelete() {
    const std::string* pName = SelectedName();
    if (pName == nullptr) {
        return;
    }
    CUiServices& ui = GetApp().Ui();
    if (*pName == GetApp().SetFileName) {
        ui.WarningBox("選択中の設定は削除できません。");
        return;
    }
    // The row after the deleted one takes its place; the last row gives way to the one before.
    size_t nRow = static_cast<size_t>(pName - m_aNames.data());
    std::string strSelect;
    if (nRow + 1 < m_aNames.size()) {
        strSelect = m_aNames[nRow + 1];
    } else if (nRow > 0) {
        strSelect = m_aNames[nRow - 1];
    }
    if (!m_folder.Remove(*pName)) {
        ui.WarningBox("削除に失敗しました。");
    }
    FillList(strSelect);
}
