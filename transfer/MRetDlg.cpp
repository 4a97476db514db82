#include "transfer/MRetDlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/ListView.h"

CMRetDlg::CMRetDlg(const std::vector<std::string>& aNames, QWidget* pParent)
    : CDialog(pParent), m_aNames(aNames) {
    SetUp(QStringLiteral("登録したファイル一覧"), DialogFont(), 242, 187);
    m_pMessage = AddLabel(1039, QString(), 7, 7, 228, 18);
    m_pList = AddList(1038, 7, 28, 228, 132);
    m_pList->setFont(GetApp().ListFont);
    m_pList->AddColumn("登録したファイル", "1234567890123456789012345678901234567890123  ");
    m_pList->SetCellTextSource([this](int nRow, int nColumn) { return RowText(nRow, nColumn); });

    QPushButton* pOkButton = AddButton(1, QStringLiteral("OK"), 96, 166, 50);
    pOkButton->setDefault(true);
    connect(pOkButton, &QPushButton::clicked, this, &CMRetDlg::accept);
}

bool CMRetDlg::OnInitDialog() {
    m_pMessage->setText(QString::fromStdString(m_strMessage));
    m_pList->SetItemCount(static_cast<int>(m_aNames.size()));
    if (!m_aNames.empty()) {
        m_pList->SelectFocusAndShow(0);
    }
    return true;
}

std::string CMRetDlg::RowText(int nRow, int nColumn) const {
    if (nColumn != 0 || nRow < 0 || nRow >= static_cast<int>(m_aNames.size())) {
        return {};
    }
    return m_aNames[static_cast<size_t>(nRow)];
}
