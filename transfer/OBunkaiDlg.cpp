#include "transfer/OBunkaiDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/DialogLayout.h"
#include "platform/FieldValidation.h"

COBunkaiDlg::COBunkaiDlg(QWidget* pParent) : CDialog(pParent) {
    SetUp(QStringLiteral("プログラム番号別保存"), DialogFont(), 343, 105);
    AddLabel(kNoId, QStringLiteral("登録先"), 7, 10, 60, 8);
    m_pBaseFolderDisplay = AddLabel(1034, QString(), 70, 7, 208, 14);
    m_pBaseFolderDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPushButton* pBrowse = AddButton(1033, QStringLiteral("参照"), 286, 7, 50);
    AddLabel(kNoId, QStringLiteral("登録フォルダ名"), 7, 33, 60, 8);
    m_pFolderNameEdit = AddEdit(1035, 70, 30, 120);
    AddLabel(kNoId, QStringLiteral("ファイル拡張子"), 7, 56, 60, 8);
    m_pExtensionEdit = AddEdit(1036, 70, 53, 50);
    QPushButton* pOkButton = AddButton(1, QStringLiteral("OK"), 230, 84, 50);
    pOkButton->setDefault(true);
    QPushButton* pCancelButton = AddButton(2, QStringLiteral("キャンセル"), 286, 84, 50);

    connect(pBrowse, &QPushButton::clicked, this, &COBunkaiDlg::OnBrowse);
    connect(pOkButton, &QPushButton::clicked, this, &COBunkaiDlg::OnOK);
    connect(pCancelButton, &QPushButton::clicked, this, &COBunkaiDlg::reject);
}

bool COBunkaiDlg::OnInitDialog() {
    m_pBaseFolderDisplay->setText(QString::fromStdString(m_strBaseFolder));
    m_pFolderNameEdit->setText(QString::fromStdString(m_strFolderName));
    m_pExtensionEdit->setText(QString::fromStdString(m_strExtension));
    m_pExtensionEdit->setEnabled(m_bExtensionEditable);
    return true;
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
    CUiServices& ui = GetApp().Ui();
    if (!TakeNameField(*m_pFolderNameEdit, m_strFolderName, ui) ||
        !TakeNameField(*m_pExtensionEdit, m_strExtension, ui)) {
        return;
    }
    if (m_strFolderName.empty()) {
        ui.WarningBox("フォルダ名を入力してください");
        m_pFolderNameEdit->setFocus();
        return;
    }
    accept();
}
