#include "platform/CommandDlg.h"

#include <QKeyEvent>
#include <QPushButton>

CCommandDlg::CCommandDlg(QWidget* pParent) : CDialog(pParent) {}

void CCommandDlg::reject() {
    if (m_bCloseEnabled) {
        OnClose();
    }
}

void CCommandDlg::keyPressEvent(QKeyEvent* pEvent) {
    bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    if (!bEnter || (pEvent->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QDialog::keyPressEvent(pEvent);
        return;
    }
    // Enter presses the button that has the focus; with the focus elsewhere it closes.
    if (auto* pFocusButton = qobject_cast<QPushButton*>(focusWidget())) {
        pFocusButton->click();
        return;
    }
    reject();
}
