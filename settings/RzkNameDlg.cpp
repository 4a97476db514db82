#include "settings/RzkNameDlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"

CRzkNameDlg::CRzkNameDlg(QWidget* pParent) : CDialog(pParent) {
    SetUp(QStringLiteral("端末名"), DialogFont(QStringLiteral("MS Shell Dlg"), 8), 150, 47);
    AddEdit(1012, 7, 7, 79);
    QPushButton* pOk = AddButton(1, QStringLiteral("OK"), 93, 7, 50);
    pOk->setDefault(true);
    QPushButton* pCancel = AddButton(2, QStringLiteral("キャンセル"), 93, 24, 50);
    connect(pOk, &QPushButton::clicked, this, &CRzkNameDlg::OnOK);
    connect(pCancel, &QPushButton::clicked, this, &CRzkNameDlg::reject);
}

void CRzkNameDlg::OnOK() {
    if (TakeNameField(Edit(1012), m_strName, GetApp().Ui())) {
        accept();
    }
}
