#pragma once

#include "platform/Dialog.h"

#include <string>

class QLineEdit;

// Remark input ("備考入力"): one remark of at most 40 bytes of code page 932.
class CBikouDlg : public CDialog {
    Q_OBJECT

public:
    explicit CBikouDlg(std::string strBikou, QWidget* pParent = nullptr);

    std::string m_strBikou;

    QLineEdit& BikouEdit() const { return *m_pBikouEdit; }
    // Takes the box into m_strBikou and closes; stays open with the prompt when it does not fit.
    void OnOK();

private:
    QLineEdit* m_pBikouEdit = nullptr;
};
