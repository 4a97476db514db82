#include "numlist/FNoInDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"

CFNoInDlg::CFNoInDlg(int nNo, QWidget* pParent)
    : QDialog(pParent), m_nNo(nNo), m_pNumberEdit(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("新規ファイル番号登録"));
    QFont dialogFont = DialogFont();
    setFont(dialogFont);
    setFixedSize(DialogUnitsToPixels(dialogFont, 187, 53));

    auto* pLabel = new QLabel(QStringLiteral("ファイル番号"), this);
    pLabel->setGeometry(DialogUnitsToPixels(dialogFont, 7, 10, 48, 8));
    m_pNumberEdit->setGeometry(DialogUnitsToPixels(dialogFont, 57, 7, 60, 14));
    m_pNumberEdit->setText(QString::number(m_nNo));

    auto* pOkButton = MakePushButton(QStringLiteral("OK"), this);
    pOkButton->setGeometry(DialogUnitsToPixels(dialogFont, 130, 7, 50, 14));
    pOkButton->setDefault(true);
    auto* pCancelButton = MakePushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    pCancelButton->setGeometry(DialogUnitsToPixels(dialogFont, 130, 28, 50, 14));

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
