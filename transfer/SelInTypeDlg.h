#pragma once

#include "platform/Dialog.h"

// The choice of how a received program is saved ("受信方法選択"): as one file, or split into
// one file per program number. Only the two picture buttons and cancel close it; Enter does
// nothing, so a stray key press never picks a way of saving.
class CSelInTypeDlg : public CDialog {
    Q_OBJECT

public:
    enum { SELECT_NONE = 0, SELECT_NORMAL = 1, SELECT_SPLIT = 2 };

    explicit CSelInTypeDlg(QWidget* pParent = nullptr);

    void OnNormal();  // 1032
    void OnSplit();   // 1033
    void OnCancel();  // 2

    int m_nSelect = SELECT_NONE;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
};
