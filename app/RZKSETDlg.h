#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Dialog.h"

class CMountWatcher;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;

// The main window: the transport choice, the PASV option, the current machine profile and
// USB memory, and the buttons of every operation. Each operation runs inside the operation
// frame, which holds device arrivals off and, for the operations that reach the unit, runs the
// readiness check first.
class CRZKSETDlg : public CDialog {
    Q_OBJECT

public:
    // The context menu's store check-up, run like a button's operation.
    static constexpr int kStoreCheckupCommand = 2001;
    // The context menu's fleet view.
    static constexpr int kFleetCommand = 2002;

    explicit CRZKSETDlg(QWidget* pParent = nullptr);
    ~CRZKSETDlg() override;

    // Sets the transport and PASV options from the application object, runs the start-up
    // search for a prepared USB memory, shows the names and starts following mounts.
    bool OnInitDialog() override;

    // Transport rule: enabling of 1009, 1013 and 1015, then Sousa and Pasv into the
    // application object.
    void ApplyTransportRule();
    void OnPasv();
    // Runs the operation of a button inside the operation frame.
    void OnOperation(int nId);
    // The simple send of PC files handed over from outside (a drop on the send button, the
    // file manager's "Open with"), as if chosen in its file dialog.
    void SendFiles(const std::vector<std::string>& aPaths);
    // Files a later start of the program handed over: the window comes to the front and sends
    // them once no operation runs.
    void SendFilesWhenFree(const std::vector<std::string>& aPaths);
    // Shows UsbDriveName in 1022 and SetFileName in 1024.
    void ShowNames();
    void OnAbout();
    // A volume was mounted: offered as the USB memory while the window is idle.
    void OnVolumeArrived(const std::string& strRoot);

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    struct Operation {
        bool bCheckUnit = true;
        std::function<void()> run;  // empty while the operation is not part of the program
    };

    void BuildControls();
    QAbstractButton* AddPictureButton(int nId, int nBitmapId, const QString& strCaption);
    void DefineOperations();

    QButtonGroup* m_pTransportGroup = nullptr;
    QRadioButton* m_pUsbOption = nullptr;
    QRadioButton* m_pNetworkOption = nullptr;
    QCheckBox* m_pPasvOption = nullptr;
    QLabel* m_pDriveName = nullptr;
    QLabel* m_pProfileName = nullptr;
    CMountWatcher* m_pMountWatcher = nullptr;
    std::map<int, Operation> m_aOperations;
    int m_nFrameDepth = 0;  // operation frames running, one inside the other
    // PC files handed to the send button, for the send they start.
    std::vector<std::string> m_aDroppedFiles;
};
