#include "transfer/SampleDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"
#include "platform/Text.h"
#include "transfer/SampleProgram.h"

namespace {

constexpr size_t kCallNameMaxBytes = 200;

// A box that takes digits only, as a number edit does.
void AcceptDigitsOnly(QLineEdit& edit) {
    edit.setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), &edit));
}

}  // namespace

CSampleDlg::CSampleDlg(QWidget* pParent)
    : CDialog(pParent),
      m_nKind(SAMPLE_CALL_BY_NUMBER),
      m_nProgramNumber(GetApp().SetData.REMOTE_NO),
      m_strCallName("TEST"),
      m_nCallNumber(1) {
    SetUp(QStringLiteral("サンプルプログラム生成"), DialogFont(), 158, 185);
    auto* pKindFrame = new QGroupBox(QStringLiteral("生成するＮＣプログラム"), this);
    pKindFrame->setGeometry(Units(7, 7, 144, 62));
    m_pKindGroup = new QButtonGroup(this);
    const QString aKindCaptions[] = {QStringLiteral("送信チェック用"),
                                     QStringLiteral("リモート指示用（ファイル名指定）"),
                                     QStringLiteral("リモート指示用（番号指定）")};
    for (int nKind = 0; nKind < 3; ++nKind) {
        auto* pOption = SetItem(1026 + nKind, new QRadioButton(aKindCaptions[nKind], this));
        pOption->setGeometry(Units(14, 20 + nKind * 15, 134, 10));
        m_pKindGroup->addButton(pOption, nKind);
    }

    m_pProgramNumberEdit = AddField(1029, QStringLiteral("プログラム番号"), 74, 60);
    AcceptDigitsOnly(*m_pProgramNumberEdit);
    m_pCallNameEdit = AddField(1030, QStringLiteral("呼び出すファイル名"), 100, 144);
    LimitFieldBytes(*m_pCallNameEdit, kCallNameMaxBytes);
    TypeInUpperCase(*m_pCallNameEdit);
    m_pCallNumberEdit = AddField(1031, QStringLiteral("呼び出す番号"), 126, 60);
    AcceptDigitsOnly(*m_pCallNumberEdit);

    QPushButton* pOkButton = AddButton(1, QStringLiteral("OK"), 40, 164, 50);
    pOkButton->setDefault(true);
    QPushButton* pCancelButton = AddButton(2, QStringLiteral("キャンセル"), 101, 164, 50);

    connect(m_pKindGroup, &QButtonGroup::idClicked, this, &CSampleDlg::OnKind);
    connect(pOkButton, &QPushButton::clicked, this, &CSampleDlg::OnOK);
    connect(pCancelButton, &QPushButton::clicked, this, &CSampleDlg::reject);
}

QLineEdit* CSampleDlg::AddField(int nId, const QString& strLabel, int nTop, int nWidth) {
    AddLabel(kNoId, strLabel, 7, nTop, 144, 8);
    return AddEdit(nId, 7, nTop + 10, nWidth);
}

bool CSampleDlg::OnInitDialog() {
    m_pKindGroup->button(m_nKind)->setChecked(true);
    m_pProgramNumberEdit->setText(QString::number(m_nProgramNumber));
    m_pCallNameEdit->setText(QString::fromStdString(Cp932ToDisplay(m_strCallName)));
    m_pCallNumberEdit->setText(QString::number(m_nCallNumber));
    OnKind();
    return true;
}

void CSampleDlg::OnKind() {
    int nKind = m_pKindGroup->checkedId();
    m_pCallNameEdit->setEnabled(nKind == SAMPLE_CALL_BY_NAME);
    m_pCallNumberEdit->setEnabled(nKind == SAMPLE_CALL_BY_NUMBER);
}

void CSampleDlg::ClickKind(int nKind) {
    m_pKindGroup->button(nKind)->click();
}

void CSampleDlg::OnOK() {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    m_nKind = m_pKindGroup->checkedId();
    if (!TakeIntegerField(*m_pProgramNumberEdit, m_nProgramNumber, ui) ||
        !TakeTextField(*m_pCallNameEdit, kCallNameMaxBytes, m_strCallName, ui) ||
        !TakeIntegerField(*m_pCallNumberEdit, 1, 9999, m_nCallNumber, ui)) {
        return;
    }
    std::string strRangeError =
        SampleRangeError(m_nKind, m_nProgramNumber, app.SetData.REMOTE_NO, app.SetData.REMOTE_NO2);
    if (!strRangeError.empty()) {
        ui.WarningBox(strRangeError);
        return;
    }
    accept();
}
