#pragma once

#include "platform/Dialog.h"

class QLineEdit;

// Number input ("新規ファイル番号登録"): the first number of the files being registered,
// 0 to 9999. Whether the number is free is for the caller to decide.
class CFNoInDlg : public CDialog {
    Q_OBJECT

public:
    explicit CFNoInDlg(int nNo, QWidget* pParent = nullptr);

    int m_nNo;

    QLineEdit& NumberEdit() const { return *m_pNumberEdit; }
    // Takes the box into m_nNo and closes; stays open with the prompt when it is no integer
    // in range.
    void OnOK();

private:
    QLineEdit* m_pNumberEdit = nullptr;
};
