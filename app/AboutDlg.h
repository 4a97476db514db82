#pragma once

#include <QDialog>

// The about box: program icon, product name and version, copyright.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
