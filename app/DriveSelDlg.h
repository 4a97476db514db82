#pragma once

#include "platform/Dialog.h"

#include <string>
#include <vector>

class CDriveTable;
class QComboBox;

// One drive offered for the USB memory: its root and its display name (UTF-8).
struct DriveInfo {
    std::string strDrive;
    std::string strDispName;
};

// Drive selection: a drop-down list of the drives that can hold the unit's files. The caller
// sets the current drive root, runs the dialog, and after OK reads the selected index (-1 for
// none) and the list.
class CDriveSelDlg : public CDialog {
    Q_OBJECT

public:
    // The drives are listed from the table as it stands; the caller refreshes it.
    explicit CDriveSelDlg(const CDriveTable& drives, QWidget* pParent = nullptr);

    // Lists the usable drives in table order and selects the current drive, or the only
    // drive when there is exactly one.
    bool OnInitDialog() override;
    void OnOK();
    void OnCancel();

    std::vector<DriveInfo> m_aDrive;
    std::string m_strDrive;  // the current drive root
    QComboBox* m_pDriveList = nullptr;
    int m_nSelect = -1;

private:
    const CDriveTable& m_drives;
};
