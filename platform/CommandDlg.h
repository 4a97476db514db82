#pragma once

#include "platform/Dialog.h"

class QKeyEvent;

// A dialog whose commands grey its Close entry while they run. Every way of closing (its
// close button, Esc, the close box, and Enter while no button has the keyboard focus) ends in
// OnClose, and none of them does anything while Close is greyed. Enter on a button presses it.
class CCommandDlg : public CDialog {
    Q_OBJECT

public:
    void EnableClose(bool bEnable) { m_bCloseEnabled = bEnable; }
    bool IsCloseEnabled() const { return m_bCloseEnabled; }

    // Every way of closing ends here.
    virtual void OnClose() = 0;
    // Esc and the close box.
    void reject() override;

protected:
    explicit CCommandDlg(QWidget* pParent);

    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    bool m_bCloseEnabled = true;
};
