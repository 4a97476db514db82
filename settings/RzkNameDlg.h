#pragma once

#include <string>

#include "platform/Dialog.h"

// The name of a machine profile ("端末名"), asked when one is added or renamed; it starts
// empty every time.
class CRzkNameDlg : public CDialog {
    Q_OBJECT

public:
    explicit CRzkNameDlg(QWidget* pParent = nullptr);

    void OnOK();

    std::string m_strName;  // UTF-8
};
