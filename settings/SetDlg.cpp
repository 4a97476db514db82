#include "settings/SetDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdint>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"
#include "platform/IpAddressCtrl.h"
#include "platform/Text.h"

namespace {

constexpr size_t kDotBytes = 3;
// File names have no limit of their own.
constexpr size_t kAnyLength = SIZE_MAX;

QString Display(const std::string& strCp932) {
    return QString::fromStdString(Cp932ToDisplay(strCp932));
}

void SetChecked(QButtonGroup& group, int nId) {
    if (QAbstractButton* pButton = group.button(nId)) {
        pButton->setChecked(true);
        return;
    }
    // A value outside the group (a hand-edited profile) leaves no button checked.
    group.setExclusive(false);
    for (QAbstractButton* pButton : group.buttons()) {
        pButton->setChecked(false);
    }
    group.setExclusive(true);
}

}  // namespace

CSetDlg::CSetDlg(QWidget* pParent) : CDialog(pParent) {
    SetUp(QStringLiteral("設定"), DialogFont(), 299, 221);
    const struct {
        const char* pszCaption;
        int nX, nY, nWidth, nHeight;
    } aFrames[] = {{"ボーレート", 9, 14, 71, 45},
                   {"ストップビット", 88, 14, 51, 45},
                   {"出力コード", 147, 14, 51, 45},
                   {"入力コード", 205, 14, 77, 45}};
    for (const auto& frame : aFrames) {
        auto* pFrame = new QGroupBox(QString::fromUtf8(frame.pszCaption), this);
        pFrame->setGeometry(Units(frame.nX, frame.nY, frame.nWidth, frame.nHeight));
    }
    m_pBaudRate = SetItem(1009, new QComboBox(this));
    m_pBaudRate->setGeometry(Units(20, 34, 48, 14));
    for (const char* pszRate : {" 1200", " 2400", " 4800", " 9600", "19200", "38400"}) {
        m_pBaudRate->addItem(QString::fromLatin1(pszRate));
    }
    m_pStopBits = AddRadioGroup(1010, "1", "2", 104, 28);
    m_pOutCode = AddRadioGroup(1012, "ISO", "EIA", 160, 28);
    m_pAutoInCode = AddCheckBox(1042, QStringLiteral("自動"), 213, 28, 30, 10);
    m_pInCode = AddRadioGroup(1015, "ISO", "EIA", 251, 28);

    AddLabel(kNoId, QStringLiteral("リモート指示用プログラム番号"), 11, 76, 89, 8);
    AddEdit(1014, 104, 73, 32);
    AddLabel(kNoId, QStringLiteral("～"), 141, 76, 8, 8);
    AddEdit(1019, 154, 73, 32);
    // The extension is added to the unit's file names by a setting the operator no longer
    // changes here; the box still carries it, hidden.
    m_pAddDot =
        AddCheckBox(1025, QStringLiteral("拡張子を自動追加（非表示に変更予定）"), 18, 97, 56, 10);
    m_pAddDot->hide();
    AddLabel(kNoId, QStringLiteral("検索ファイル拡張子"), 41, 111, 59, 8);
    QLineEdit* pDot = AddEdit(1024, 104, 108, 32);
    TypeInUpperCase(*pDot);
    LimitFieldBytes(*pDot, kDotBytes);
    m_pSame =
        AddCheckBox(1026, QStringLiteral("初期状態で入出力ファイルを同じにする"), 158, 99, 130, 10);
    AddLabel(kNoId, QStringLiteral("出力ファイル名"), 159, 116, 45, 8);
    TypeInUpperCase(*AddEdit(1027, 209, 113, 73));
    AddLabel(kNoId, QStringLiteral("入力ファイル名"), 159, 134, 45, 8);
    TypeInUpperCase(*AddEdit(1028, 209, 131, 73));

    AddLabel(kNoId, QStringLiteral("ＩＰアドレス"), 15, 160, 31, 8);
    m_pAddress = SetItem(1017, new CIpAddressCtrl(GetApp().Ui(), this));
    m_pAddress->setGeometry(Units(57, 156, 100, 15));
    AddLabel(kNoId, QStringLiteral("ネットマスク"), 13, 181, 35, 8);
    m_pNetmask = SetItem(1018, new CIpAddressCtrl(GetApp().Ui(), this));
    m_pNetmask->setGeometry(Units(57, 178, 100, 15));

    QPushButton* pDefaults = AddButton(1043, QStringLiteral("初期値に戻す"), 7, 200, 55);
    QPushButton* pSave = AddButton(1, QStringLiteral("保存"), 184, 200, 50);
    pSave->setDefault(true);
    QPushButton* pCancel = AddButton(2, QStringLiteral("ｷｬﾝｾﾙ"), 242, 200, 50);

    connect(m_pAutoInCode, &QCheckBox::clicked, this, &CSetDlg::UpdateEnabling);
    connect(m_pSame, &QCheckBox::clicked, this, &CSetDlg::UpdateEnabling);
    connect(pDefaults, &QPushButton::clicked, this, &CSetDlg::OnDefaults);
    connect(pSave, &QPushButton::clicked, this, &CSetDlg::OnOK);
    connect(pCancel, &QPushButton::clicked, this, &CSetDlg::reject);
}

QButtonGroup* CSetDlg::AddRadioGroup(int nFirstId, const char* pszFirst, const char* pszSecond,
                                     int nX, int nY) {
    auto* pGroup = new QButtonGroup(this);
    const char* aCaptions[] = {pszFirst, pszSecond};
    for (int nIndex = 0; nIndex < 2; ++nIndex) {
        auto* pButton = SetItem(nFirstId + nIndex,
                                new QRadioButton(QString::fromUtf8(aCaptions[nIndex]), this));
        pButton->setGeometry(Units(nX, nY + 17 * nIndex, 30, 10));
        pGroup->addButton(pButton, nIndex);
    }
    return pGroup;
}

void CSetDlg::CopyToProfile(CSetData& profile) const {
    bool bUnitInDot = profile.unitInDot;
    profile = m_data;
    profile.unitInDot = bUnitInDot;
}

bool CSetDlg::OnInitDialog() {
    PutFieldValues();
    Edit(1024).setEnabled(true);
    UpdateTitle();
    UpdateEnabling();
    return true;
}

void CSetDlg::PutFieldValues() {
    m_pBaudRate->setCurrentIndex(m_data.BPS >= 0 && m_data.BPS < m_pBaudRate->count() ? m_data.BPS
                                                                                      : -1);
    SetChecked(*m_pStopBits, m_data.STOPBIT);
    SetChecked(*m_pOutCode, m_data.OUT_CODE);
    m_pAutoInCode->setChecked(m_data.AUTO_IN_CODE);
    SetChecked(*m_pInCode, m_data.IN_CODE);
    Edit(1014).setText(QString::number(m_data.REMOTE_NO));
    Edit(1019).setText(QString::number(m_data.REMOTE_NO2));
    m_pAddDot->setChecked(m_data.ADD_DOT);
    Edit(1024).setText(Display(m_data.DOT));
    m_pSame->setChecked(m_data.SAME);
    Edit(1027).setText(Display(m_data.OUT_FILE_NAME));
    Edit(1028).setText(Display(m_data.IN_FILE_NAME));
    m_pAddress->SetAddress({m_data.IP1, m_data.IP2, m_data.IP3, m_data.IP4});
    m_pNetmask->SetAddress({m_data.MASK1, m_data.MASK2, m_data.MASK3, m_data.MASK4});
}

void CSetDlg::UpdateTitle() {
    QString strTitle =
        QStringLiteral("設定") + (m_data.unitInDot ? QString() : QStringLiteral("※"));
    setWindowTitle(m_pAddDot->isChecked() ? QStringLiteral("[%1]").arg(strTitle) : strTitle);
}

void CSetDlg::UpdateEnabling() {
    Edit(1028).setEnabled(!m_pSame->isChecked());
    for (QAbstractButton* pButton : m_pInCode->buttons()) {
        pButton->setEnabled(!m_pAutoInCode->isChecked());
    }
}

void CSetDlg::OnOK() {
    CUiServices& ui = GetApp().Ui();
    CSetData taken = m_data;
    taken.BPS = m_pBaudRate->currentIndex();
    taken.STOPBIT = m_pStopBits->checkedId();
    taken.OUT_CODE = m_pOutCode->checkedId();
    taken.AUTO_IN_CODE = m_pAutoInCode->isChecked();
    taken.IN_CODE = m_pInCode->checkedId();
    taken.ADD_DOT = m_pAddDot->isChecked();
    taken.SAME = m_pSame->isChecked();
    if (!TakeLeadingIntegerField(Edit(1014), taken.REMOTE_NO, ui) ||
        !TakeLeadingIntegerField(Edit(1019), taken.REMOTE_NO2, ui) ||
        !TakeTextField(Edit(1024), kDotBytes, taken.DOT, ui) ||
        !TakeTextField(Edit(1027), kAnyLength, taken.OUT_FILE_NAME, ui) ||
        !TakeTextField(Edit(1028), kAnyLength, taken.IN_FILE_NAME, ui)) {
        return;
    }
    if (taken.REMOTE_NO > taken.REMOTE_NO2) {
        ui.WarningBox(
            "リモート指示用プログラム番号の範囲が異常です。\n"
            "小さい番号から大きい番号になるように設定して下さい。");
        return;
    }
    CIpAddressCtrl::Octets aAddress{};
    CIpAddressCtrl::Octets aNetmask{};
    if (!m_pAddress->TakeAddress(aAddress) || !m_pNetmask->TakeAddress(aNetmask)) {
        return;
    }
    taken.IP1 = aAddress[0];
    taken.IP2 = aAddress[1];
    taken.IP3 = aAddress[2];
    taken.IP4 = aAddress[3];
    taken.MASK1 = aNetmask[0];
    taken.MASK2 = aNetmask[1];
    taken.MASK3 = aNetmask[2];
    taken.MASK4 = aNetmask[3];
    m_data = taken;
    accept();
}

void CSetDlg::OnDefaults() {
    m_data = CSetData();
    OnInitDialog();
}
