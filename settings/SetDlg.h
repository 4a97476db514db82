#pragma once

#include "platform/Dialog.h"
#include "settings/SetData.h"

class CIpAddressCtrl;
class QButtonGroup;
class QCheckBox;
class QComboBox;

// The settings of one machine profile ("設定"): RS-232C parameters, the remote-instruction
// number range, the file names of the unit and its network address. It edits its own copy of
// the profile; the caller copies the profile in before and back after "保存".
class CSetDlg : public CDialog {
    Q_OBJECT

public:
    explicit CSetDlg(QWidget* pParent = nullptr);

    // The profile and the unit's INDOT as last read, into the dialog.
    void CopyFromProfile(const CSetData& profile) { m_data = profile; }
    // Every field of the profile but unitInDot, back from the dialog.
    void CopyToProfile(CSetData& profile) const;

    // Puts the members into the controls, then the title and the enabling.
    bool OnInitDialog() override;
    // 1 "保存": takes and checks the controls; stays open on any refusal.
    void OnOK();
    // 1043 "初期値に戻す": every field back to its default, INDEX and unitInDot included.
    void OnDefaults();
    // 1042 and 1026: the input code choice only without automatic recognition, the input file
    // name only when the files are not the same.
    void UpdateEnabling();

    CSetData m_data;

private:
    QButtonGroup* AddRadioGroup(int nFirstId, const char* pszFirst, const char* pszSecond, int nX,
                                int nY);
    void PutFieldValues();
    void UpdateTitle();

    QComboBox* m_pBaudRate = nullptr;
    QButtonGroup* m_pStopBits = nullptr;
    QButtonGroup* m_pOutCode = nullptr;
    QButtonGroup* m_pInCode = nullptr;
    QCheckBox* m_pAutoInCode = nullptr;
    QCheckBox* m_pAddDot = nullptr;
    QCheckBox* m_pSame = nullptr;
    CIpAddressCtrl* m_pAddress = nullptr;
    CIpAddressCtrl* m_pNetmask = nullptr;
};
