#include "app/RZKSETApp.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>

#include "platform/DialogLayout.h"
#include "platform/IniFile.h"
#include "platform/LocalFailure.h"
#include "platform/ProgramFolder.h"
#include "platform/QtUiServices.h"
#include "platform/Text.h"
#include "unitstore/UnitReadiness.h"
#include "unitstore/UsbDriveCheck.h"

namespace {

const char kSection[] = "System";

// The folder of the running executable, ending in "/".
std::string ExecutableFolder() {
    char szPath[PATH_MAX] = {};
    ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    if (nLength <= 0) {
        return {};
    }
    std::string strPath(szPath, static_cast<size_t>(nLength));
    return strPath.substr(0, strPath.rfind('/') + 1);
}

std::string Environment(const char* pszName) {
    const char* pszValue = std::getenv(pszName);
    return pszValue != nullptr ? pszValue : "";
}

// A value that code page 932 cannot hold (a mount point with an accented letter) is stored as
// UTF-8 behind the UTF-8 byte order mark. Its first two bytes are no code page 932 character,
// so such a value is never mistaken for one in code page 932 and reads back unchanged.
const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::string ReadText(const CIniFile& ini, const char* pszKey, const std::string& strDefault) {
    std::string strStored = ini.GetString(kSection, pszKey, *Utf8ToCp932(strDefault));
    if (strStored.starts_with(kUtf8Mark)) {
        return strStored.substr(kUtf8Mark.size());
    }
    return Cp932ToDisplay(strStored);
}

std::string StoredText(const std::string& strValue) {
    return Utf8ToCp932(strValue).value_or(kUtf8Mark + strValue);
}

}  // namespace

CRZKSETApp::CRZKSETApp() : m_pUi(std::make_unique<CQtUiServices>()) {}

namespace {

CRZKSETApp* g_pCurrentApp = nullptr;

}  // namespace

CRZKSETApp& GetApp() {
    static CRZKSETApp app;
    return g_pCurrentApp != nullptr ? *g_pCurrentApp : app;
}

CRZKSETApp* SetCurrentApp(CRZKSETApp* pApp) {
    return std::exchange(g_pCurrentApp, pApp);
}

std::string CRZKSETApp::ProfilePath() const {
    return ExeDir + "RZKSET.ini";
}

std::string CRZKSETApp::ProfileFilePath(const std::string& strName) const {
    return ExeDir + "Data/" + strName + ".txt";
}

bool CRZKSETApp::ReadProfile(const std::string& strProfileName) {
    CIniFile ini(ProfilePath());
    ini.Load();
    Sousa = ini.GetInt(kSection, "Sousa", 0);
    Pasv = ini.GetInt(kSection, "Pasv", 1) != 0 ? 1 : 0;
    NC_Dir = ReadText(ini, "NC_Dir", "");
    UsbDrive = ReadText(ini, "UsbDrive", "/");
    UsbDriveName = ReadText(ini, "UsbDriveName", "/");
    FtpPort = ini.GetInt(kSection, "Port", 21);
    return SelectProfile(!strProfileName.empty() ? strProfileName
                                                 : ReadText(ini, "SetFileName", "１号機"));
}

bool CRZKSETApp::SelectProfile(const std::string& strName) {
    SetFileName = strName;
    SetFilePath = ProfileFilePath(SetFileName);
    if (SetData.LoadProfile(SetFilePath) != 0) {
        Ui().WarningBox("設定ファイルの読み込みに失敗しました。\n設定は初期値にリセットされます。");
        SetData.ResetDefaults();
        return false;
    }
    return true;
}

bool CRZKSETApp::WriteProfile() const {
    CIniFile ini(ProfilePath());
    ini.Load();
    auto write = [&ini](const char* pszKey, const std::string& strValue) {
        ini.SetString(kSection, pszKey, StoredText(strValue));
    };
    write("Sousa", std::to_string(Sousa));
    write("Pasv", Pasv != 0 ? "1" : "0");
    write("NC_Dir", NC_Dir);
    write("UsbDrive", UsbDrive);
    write("UsbDriveName", UsbDriveName);
    write("SetFileName", SetFileName);
    return ini.Save();
}

UnitStoreSettings CRZKSETApp::StoreSettings() const {
    UnitStoreSettings settings;
    settings.nSousa = Sousa;
    settings.strServer = SetData.IpAddress();
    settings.nPort = FtpPort;
    settings.bPasv = Pasv != 0;
    settings.strUsbDrive = UsbDrive;
    settings.nTimeoutSeconds = FtpTimeoutSeconds;
    settings.strProfile = SetFileName;
    return settings;
}

void CRZKSETApp::InitUserInterface() {
    InstallFontSubstitutes();
    InstallJapaneseTranslations();
}

void CRZKSETApp::InitInstance() {
    InitUserInterface();
    InitData();
}

bool CRZKSETApp::InitData(const std::string& strProfileName) {
    IgnoreFileSizeSignal();
    ExeDir = DataFolder();
    // Installed, the package's default profile lies in share/rzkset/Data/ beside bin/.
    CopyShippedProfiles(ExeDir, ExecutableFolder() + "../share/rzkset/Data/");
    bool bLoaded = ReadProfile(strProfileName);
    OpenShopMemory();
    return bLoaded;
}

std::string CRZKSETApp::DataFolder() {
    return ProgramFolder(ExecutableFolder(), Environment("XDG_DATA_HOME"), Environment("HOME"));
}

bool CRZKSETApp::CheckUnit() {
    return CheckUnit(StoreSettings());
}

bool CRZKSETApp::CheckUnit(const UnitStoreSettings& settings) {
    return CheckUnitReady(settings, ExeDir, UsbDriveName, Ui(), [this](const std::string& strRoot) {
        // A memory may have been pulled or plugged since the last look.
        Drives.Refresh();
        return IsUsableUsbDrive(Drives, strRoot);
    });
}

void CRZKSETApp::OpenShopMemory() {
    CShopMemory::Hooks hooks;
    hooks.profile = [this] { return SetFileName; };
    hooks.goOnWithoutCopy = [this](const std::string& strName) {
        return Ui().ContinueWithoutCopy(Format(
            "%sの写しを履歴に残せませんでした。\n写しを残さずに続けますか？", strName.c_str()));
    };
    m_pShopMemory = std::make_unique<CShopMemory>(
        ExeDir, CShopMemory::Settings::Read(ProfilePath()), std::move(hooks));
    CShopMemory::SetCurrent(m_pShopMemory.get());
}

void CRZKSETApp::ReportJournalFailure() {
    if (m_pShopMemory && m_pShopMemory->TakeJournalFailure()) {
        Ui().WarningBox(
            Format("%sに操作の記録を書き込めませんでした。\n"
                   "操作は続けますが、記録の残らない操作があります。",
                   m_pShopMemory->Journal().CurrentPath().c_str()));
    }
}

int CRZKSETApp::ExitInstance() {
    if (!WriteProfile()) {
        Ui().WarningBox(ProfilePath() + "の書き込みに失敗しました。");
        return 1;
    }
    return 0;
}
