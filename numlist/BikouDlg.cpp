#include "numlist/BikouDlg.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"
#include "platform/Text.h"

namespace {

constexpr size_t kBikouBytes = 40;

}  // namespace

CBikouDlg::CBikouDlg(std::string strBikou, QWidget* pParent)
    : CDialog(pParent), m_strBikou(std::move(strBikou)) {
    SetUp(QStringLiteral("備考入力"), DialogFont(), 235, 55);
    m_pBikouEdit = AddEdit(1020, 7, 7, 221);
    m_pBikouEdit->setText(QString::fromStdString(Cp932ToDisplay(m_strBikou)));
    LimitFieldBytes(*m_pBikouEdit, kBikouBytes);

    QPushButton* pOkButton = AddButton(1, QStringLiteral("OK"), 121, 34, 50);
    pOkButton->setDefault(true);
    QPushButton* pCancelButton = AddButton(2, QStringLiteral("ｷｬﾝｾﾙ"), 178, 34, 50);

    connect(pOkButton, &QPushButton::clicked, this, &CBikouDlg::OnOK);
    connect(pCancelButton, &QPushButton::clicked, this, &CBikouDlg::reject);
    m_pBikouEdit->setFocus();
    m_pBikouEdit->selectAll();
}

void CBikouDlg::OnOK() {
    if (TakeTextField(*m_pBikouEdit, kBikouBytes, m_strBikou, GetApp().Ui())) {
        accept();
    }
}
