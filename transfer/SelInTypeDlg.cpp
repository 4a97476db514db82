#include "transfer/SelInTypeDlg.h"

#include <QKeyEvent>
#include <QPushButton>

#include "app/Pictures.h"
#include "platform/DialogLayout.h"

CSelInTypeDlg::CSelInTypeDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("受信方法選択"));
    QFont dialogFont = DialogFont();
    setFont(dialogFont);
    setFixedSize(DialogUnitsToPixels(dialogFont, 143, 111));

    QPushButton* pNormal = MakePictureButton(this, 142, QStringLiteral("通常"));
    pNormal->setObjectName(QStringLiteral("1032"));
    pNormal->setGeometry(DialogUnitsToPixels(dialogFont, 7, 7, 62, 72));
    QPushButton* pSplit = MakePictureButton(this, 143, QStringLiteral("O番号別保存"));
    pSplit->setObjectName(QStringLiteral("1033"));
    pSplit->setGeometry(DialogUnitsToPixels(dialogFont, 74, 7, 62, 72));
    auto* pCancel = MakePushButton(QStringLiteral("キャンセル"), this);
    pCancel->setObjectName(QStringLiteral("2"));
    pCancel->setGeometry(DialogUnitsToPixels(dialogFont, 46, 89, 50, 14));

    connect(pNormal, &QPushButton::clicked, this, &CSelInTypeDlg::OnNormal);
    connect(pSplit, &QPushButton::clicked, this, &CSelInTypeDlg::OnSplit);
    connect(pCancel, &QPushButton::clicked, this, &CSelInTypeDlg::OnCancel);
}

void CSelInTypeDlg::OnNormal() {
    m_nSelect = SELECT_NORMAL;
    accept();
}

void CSelInTypeDlg::OnSplit() {
    m_nSelect = SELECT_SPLIT;
    accept();
}

void CSelInTypeDlg::OnCancel() {
    m_nSelect = SELECT_NONE;
    reject();
}

void CSelInTypeDlg::keyPressEvent(QKeyEvent* pEvent) {
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        pEvent->accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}
