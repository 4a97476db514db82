#include "transfer/OBunkaiDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"

namespace {

void AddLabel(QDialog* pDialog, const QString& strText, const QRect& geometry) {
    auto* pLabel = new QLabel(strText, pDialog);
    pLabel->setGeometry(geometry);
}

}  // namespace

COBunkaiDlg::COBunkaiDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("プログラム番号別保存"));
    QFont dialogFont = DialogFont();
    setFont(dialogFont);
    setFixedSize(DialogUnitsToPixels(dialogFont, 343, 105));

    AddLabel(this, QStringLiteral("登録先"), DialogUnitsToPixels(dialogFont, 7, 10, 60, 8));
    m_pBaseFolderDisplay = new QLabel(this);
    m_pBaseFolderDisplay->setObjectName(QStringLiteral("1034"));
    m_pBaseFolderDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pBaseFolderDisplay->setGeometry(DialogUnitsToPixels(dialogFont, 70, 7, 208, 14));
    auto* pBrowse = MakePushButton(QStringLiteral("参照"), this);
    pBrowse->setObjectName(QStringLiteral("1033"));
    pBrowse->setGeometry(DialogUnitsToPixels(dialogFont, 286, 7, 50, 14));

    AddLabel(this, QStringLiteral("登録フォルダ名"), DialogUnitsToPixels(dialogFont, 7, 33, 60, 8));
    m_pFolderNameEdit = new QLineEdit(this);
    m_pFolderNameEdit->setObjectName(QStringLiteral("1035"));
    m_pFolderNameEdit->setGeometry(DialogUnitsToPixels(dialogFont, 70, 30, 120, 14));

    AddLabel(this, QStringLiteral("ファイル拡張子"), DialogUnitsToPixels(dialogFont, 7, 56, 60, 8));
    m_pExtensionEdit = new QLineEdit(this);
    m_pExtensionEdit->setObjectName(QStringLiteral("1036"));
    m_pExtensionEdit->setGeometry(DialogUnitsToPixels(dialogFont, 70, 53, 50, 14));

    auto* pOkButton = MakePushButton(QStringLiteral("OK"), this);
    pOkButton->setGeometry(DialogUnitsToPixels(dialogFont, 230, 84, 50, 14));
    pOkButton->setDefault(true);
    auto* pCancelButton = MakePushButton(QStringLiteral("キャンセル"), this);
    pCancelButton->setGeometry(DialogUnitsToPixels(dialogFont, 286, 84, 50, 14));

    connect(pBrowse, &QPushButton::clicked, this, &COBunkaiDlg::OnBrowse);
    connect(pOkButton, &QPushButton::clicked, this, &COBunkaiDlg::OnOK);
    connect(pCancelButton, &QPushButton::clicked, this, &COBunkaiDlg::reject);
}

int COBunkaiDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void COBunkaiDlg::OnInitDialog() {
    m_pBaseFolderDisplay->setText(QString::fromStdString(m_strBaseFolder));
    m_pFolderNameEdit->setText(QString::fromStdString(m_strFolderName));
    m_pExtensionEdit->setText(QString::fromStdString(m_strExtension));
    m_pExtensionEdit->setEnabled(m_bExtensionEditable);
}

void COBunkaiDlg::OnBrowse() {
    std::optional<std::string> folder =
        GetApp().Ui().BrowseFolder("フォルダの選択", m_pBaseFolderDisplay->text().toStdString());
    if (!folder) {
        return;
    }
    m_strBaseFolder = *folder;
    if (!m_strBaseFolder.empty() && !m_strBaseFolder.ends_with('/')) {
        m_strBaseFolder += '/';
    }
    m_pBaseFolderDisplay->setText(QString::fromStdString(m_strBaseFolder));
}

void COBunkaiDlg::OnOK() {
    m_strFolderName = m_pFolderNameEdit->text().toStdString();
    m_strExtension = m_pExtensionEdit->text().toStdString();
    if (m_strFolderName.empty()) {
        GetApp().Ui().WarningBox("フォルダ名を入力してください");
        m_pFolderNameEdit->setFocus();
        return;
    }
    accept();
}
