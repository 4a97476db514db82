#include "numlist/FNoInDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"

CFNoInDlg::CFNoInDlg(int nNo, QWidget* pParent) : CDialog(pParent), m_nNo(nNo) {
    SetUp(QStringLiteral("新規ファイル番号登録"), DialogFont(), 187, 53);
    AddLabel(kNoId, QStringLiteral("ファイル番号"), 7, 10, 48, 8);
    m_pNumberEdit = AddEdit(1036, 57, 7, 60);
    m_pNumberEdit->setText(QString::number(m_nNo));

    QPushButton* pOkButton = AddButton(1, QStringLiteral("OK"), 130, 7, 50);
    pOkButton->setDefault(true);
    QPushButton* pCancelButton = AddButton(2, QStringLiteral("ｷｬﾝｾﾙ"), 130, 28, 50);

    connect(pOkButton, &QPushButton::clicked, this, &CFNoInDlg::OnOK);
    connect(pCancelButton, &QPushButton::clicked, this, &CFNoInDlg::reject);
    m_pNumberEdit->setFocus();
    m_pNumberEdit->selectAll();
}

void CFNoInDlg::OnOK() {
    if (TakeIntegerField(*m_pNumberEdit, 0, 9999, m_nNo, GetApp().Ui())) {
        accept();
    }
}
