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
    : QDialog(pParent), m_strBikou(std::move(strBikou)), m_pBikouEdit(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("備考入力"));
    QFont dialogFont = DialogFont();
    setFont(dialogFont);
    setFixedSize(DialogUnitsToPixels(dialogFont, 235, 55));

    m_pBikouEdit->setGeometry(DialogUnitsToPixels(dialogFont, 7, 7, 221, 14));
    m_pBikouEdit->setText(QString::fromStdString(Cp932ToDisplay(m_strBikou)));
    LimitFieldBytes(*m_pBikouEdit, kBikouBytes);

    auto* pOkButton = MakePushButton(QStringLiteral("OK"), this);
    pOkButton->setGeometry(DialogUnitsToPixels(dialogFont, 121, 34, 50, 14));
    pOkButton->setDefault(true);
    auto* pCancelButton = MakePushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    pCancelButton->setGeometry(DialogUnitsToPixels(dialogFont, 178, 34, 50, 14));

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
