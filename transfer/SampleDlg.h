#pragma once

#include "platform/Dialog.h"

#include <string>

class QButtonGroup;
class QLineEdit;

// Options of a sample program ("サンプルプログラム生成"): its kind, its program number, and what
// a remote-instruction sample calls up (a file name or a number). OK checks the fields and
// the program number against the remote-instruction range of the current machine profile.
class CSampleDlg : public CDialog {
    Q_OBJECT

public:
    explicit CSampleDlg(QWidget* pParent = nullptr);

    // Shows the members in the controls and enables the fields of the kind.
    bool OnInitDialog() override;
    // An option button was clicked: 1030 only for a call by name, 1031 only for a call by
    // number.
    void OnKind();
    // Takes and checks the fields, then the range rule; stays open on any refusal.
    void OnOK();

    int m_nKind;                // 1026..1028
    int m_nProgramNumber;       // 1029
    std::string m_strCallName;  // 1030, code page 932
    int m_nCallNumber;          // 1031

    QLineEdit& ProgramNumberEdit() const { return *m_pProgramNumberEdit; }
    QLineEdit& CallNameEdit() const { return *m_pCallNameEdit; }
    QLineEdit& CallNumberEdit() const { return *m_pCallNumberEdit; }
    // Selects the kind as a click on its option button does.
    void ClickKind(int nKind);

private:
    // An edit with its label above it.
    QLineEdit* AddField(int nId, const QString& strLabel, int nTop, int nWidth);

    QButtonGroup* m_pKindGroup = nullptr;
    QLineEdit* m_pProgramNumberEdit = nullptr;
    QLineEdit* m_pCallNameEdit = nullptr;
    QLineEdit* m_pCallNumberEdit = nullptr;
};
