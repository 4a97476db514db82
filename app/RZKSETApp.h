#pragma once

#include <QFont>

#include <memory>
#include <string>

#include "journal/ShopMemory.h"
#include "platform/DriveTable.h"
#include "platform/UiServices.h"
#include "settings/SetData.h"
#include "unitstore/UnitStore.h"

// The one application object: shared state of the whole program. Every dialog reaches the
// transport, the USB memory, the last PC folder, the current machine profile, the fonts and
// the UI services through it. Its strings are UTF-8 (paths and display texts); the application
// profile on disk holds them in code page 932 where they have that form.
class CRZKSETApp {
public:
    CRZKSETApp();

    // Folder of the program's files and staging copies, ending in "/": the executable's folder,
    // or the user's data folder where the program may not write its own (platform/ProgramFolder.h).
    std::string ExeDir;
    int Sousa = 0;  // 0 = USB memory, 1 = network
    std::string NC_Dir;
    std::string UsbDrive;
    std::string UsbDriveName;
    std::string SetFilePath;
    std::string SetFileName;
    CSetData SetData;
    QFont ListFont{QStringLiteral("ＭＳ ゴシック"), 12};
    int Pasv = 1;
    QFont NameFont{QStringLiteral("ＭＳ ゴシック"), 20};
    int DeviceEventsEnabled = 0;
    CDriveTable Drives;  // the mounted volumes; Refresh before looking a drive up

    // FTP port of the unit. Units listen on 21; a "Port" key in the application profile (never
    // written by the program) points the program at a unit simulator on another port.
    int FtpPort = 21;
    // How long a silent unit is waited for; tests shorten it.
    int FtpTimeoutSeconds = 30;

    // The folder that becomes ExeDir (platform/ProgramFolder.h), made when missing.
    static std::string DataFolder();
    // Start-up once the display is open: the user interface, then InitData.
    void InitInstance();
    // Start-up without a user interface (the command line): writes past the file-size limit
    // fail instead of ending the process, then ExeDir (given the shipped profiles when new) and
    // the profiles. strProfileName names a
    // machine profile to use instead of the current one. False when the machine profile did
    // not load.
    bool InitData(const std::string& strProfileName = {});
    // The faces that stand in for the Windows fonts, and the framework's Japanese texts; the
    // program and the widget tests start with the same.
    static void InitUserInterface();
    // After the main window has closed, however it closed: writes the application profile back
    // and reports a failure to do so. Returns the process exit code.
    int ExitInstance();

    // Reads the six keys of section "System", builds SetFilePath and loads SetData; a profile
    // that does not load is reported and replaced by the defaults, and the answer is false.
    // strProfileName, when given, stands for the key SetFileName.
    bool ReadProfile(const std::string& strProfileName = {});
    // Makes the profile of that name the current one and loads it; a profile that does not
    // load is reported and replaced by the defaults, and the answer is false.
    bool SelectProfile(const std::string& strName);
    // Writes the six keys; false when the file could not be written.
    bool WriteProfile() const;
    // The application profile in ExeDir.
    std::string ProfilePath() const;
    // ExeDir + "Data/" + name + ".txt".
    std::string ProfileFilePath(const std::string& strName) const;

    // How the current action reaches the unit.
    UnitStoreSettings StoreSettings() const;
    // The readiness check of the current transport before an operation that reaches the unit;
    // false when the reason has been reported.
    bool CheckUnit();
    // The same check of the unit those settings reach.
    bool CheckUnit(const UnitStoreSettings& settings);

    // Opens the journal and the history store of ExeDir as RZKSET.ini's section "Journal" sets
    // them, and puts them on watch of every operation.
    void OpenShopMemory();
    // Tells the operator, once in a session, that journal lines could not be written; called
    // when an operation has ended.
    void ReportJournalFailure();
    // nullptr until opened.
    CShopMemory* ShopMemory() const { return m_pShopMemory.get(); }

    CUiServices& Ui() const { return *m_pUi; }
    // Tests put a scripted fake in place of the real widgets.
    void SetUi(std::unique_ptr<CUiServices> pUi) { m_pUi = std::move(pUi); }

private:
    std::unique_ptr<CUiServices> m_pUi;
    std::unique_ptr<CShopMemory> m_pShopMemory;
};

// The application object, as the framework's accessor for the current application gives it.
CRZKSETApp& GetApp();
// Makes pApp the object GetApp answers (nullptr: the program's own again) and answers the one
// it replaces, so that each test can start from an application object of its own.
CRZKSETApp* SetCurrentApp(CRZKSETApp* pApp);
