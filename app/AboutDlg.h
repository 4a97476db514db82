#pragma once

#include "platform/Dialog.h"

// The about box: program icon, product name and version, copyright.
class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
