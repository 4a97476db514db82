#include "transfer/SelInTypeDlg.h"

#include <QKeyEvent>
#include <QPushButton>

#include "app/Pictures.h"
#include "platform/DialogLayout.h"

CSelInTypeDlg::CSelInTypeDlg(QWidget* pParent) : CDialog(pParent) {
    SetUp(QStringLiteral("受信方法選択"), DialogFont(), 143, 111);
    QPushButton* pNormal = SetItem(1032, MakePictureButton(this, 142, QStringLiteral("通常")));
    pNormal->setGeometry(Units(7, 7, 62, 72));
    QPushButton* pSplit =
        SetItem(1033, MakePictureButton(this, 143, QStringLiteral("O番号別保存")));
    pSplit->setGeometry(Units(74, 7, 62, 72));
    QPushButton* pCancel = AddButton(2, QStringLiteral("キャンセル"), 46, 89, 50);

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
