#include "fleet/FleetDlg.h"

#include <QAbstractItemView>
#include <QEventLoop>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/RZKSETApp.h"
#include "fleet/UnitWorkers.h"
#include "journal/JournalScope.h"
#include "journal/ShopMemory.h"
#include "platform/DialogLayout.h"
#include "platform/IniFile.h"
#include "platform/ListView.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "settings/ProfileFolder.h"
#include "transfer/SendOperation.h"
#include "unitstore/UnitReadiness.h"
#include "unitstore/UsbDriveCheck.h"

namespace {

// "2026-12-11T09:15:06+0900" as the row shows it: "2026-12-11 09:15".
std::string ShownJournalTime(std::string strTime) {
    strTime = strTime.substr(0, 16);
    if (strTime.size() > 10 && strTime[10] == 'T') {
        strTime[10] = ' ';
    }
    return strTime;
}

std::string CountText(int nCount) {
    return nCount < 0 ? std::string("読めません") : std::to_string(nCount);
}

// A list cell holds one line; the exact text is in the report of the send.
std::string OneLine(std::string strText) {
    std::replace(strText.begin(), strText.end(), '\n', ' ');
    return strText;
}

// RZKSET.ini's "[Fleet]" key "MaxConnections": how many units are asked, or sent to, at once.
int MaxConnections() {
    CIniFile ini(GetApp().ProfilePath());
    ini.Load();
    return std::clamp(ini.GetInt("Fleet", "MaxConnections", CUnitWorkers::kDefaultMaxThreads), 1,
                      64);
}

}  // namespace

CFleetDlg::CFleetDlg(std::function<void(int)> runOperation, QWidget* pParent)
    : CDialog(pParent), m_runOperation(std::move(runOperation)) {
    SetUp(QStringLiteral("全体表示"), DialogFont(QStringLiteral("MS Shell Dlg"), 8), 620, 220);
    m_pList = AddList(1000, 7, 7, 540, 206);
    AddButtons<CFleetDlg>({
        {1001, "更新(&R)", 555, 7, 58, &CFleetDlg::OnRefresh},
        {1002, "切替(&S)", 555, 33, 58, &CFleetDlg::OnSelect},
        {1003, "番号取込(&I)", 555, 57, 58, &CFleetDlg::OnImport},
        {1004, "ファイル操作(&O)", 555, 81, 58, &CFleetDlg::OnOperations},
        {1005, "送信(&T)...", 555, 113, 58, &CFleetDlg::OnSend},
        {2, "閉じる", 555, 199, 58, &CFleetDlg::reject},
    });
    const int nMaxConnections = MaxConnections();
    m_pStatusWorkers = new CUnitWorkers(nMaxConnections, this);
    m_pSendWorkers = new CUnitWorkers(nMaxConnections, this);
}

CFleetDlg::~CFleetDlg() {
    m_pStatusWorkers->Stop();
    m_pSendWorkers->Stop();
}

bool CFleetDlg::OnInitDialog() {
    m_pList->setFont(GetApp().ListFont);
    m_pList->AddColumn("名称", "12345678901234  ");
    m_pList->AddColumn("アドレス", "255.255.255.255  ");
    m_pList->AddColumn("状態", "準備されていません  ");
    m_pList->AddColumn("RzFilesIn", "RzFilesIn  ");
    m_pList->AddColumn("FileList.fno", "FileList.fno  ");
    m_pList->AddColumn("FileNList.fnl", "FileNList.fnl  ");
    m_pList->AddColumn(
        "詳細", "ユニットが時間内に応答しませんでした。 192.168.0.102への接続に失敗しました。");
    m_pList->AddColumn("送信結果", "12345678.NCの登録が正常終了しました。  ");
    m_pList->AddColumn("最終記録", "2026-12-11 09:15  ");
    m_pList->SetCellTextSource([this](int nRow, int nColumn) { return CellText(nRow, nColumn); });
    OnRefresh();
    return true;
}

void CFleetDlg::ReadRows() {
    CRZKSETApp& app = GetApp();
    std::vector<std::string> aNames;
    if (app.Sousa == 1) {
        aNames = CProfileFolder(app.ExeDir + "Data/").Names();
    } else {
        aNames.push_back(app.SetFileName);
    }
    m_aRows.clear();
    int nCurrent = 0;
    for (const std::string& strName : aNames) {
        Row row;
        row.strName = strName;
        if (strName == app.SetFileName) {
            nCurrent = static_cast<int>(m_aRows.size());
            row.setData = app.SetData;
            row.bLoaded = true;
        } else {
            row.bLoaded = row.setData.LoadProfile(app.ProfileFilePath(strName)) == 0;
        }
        m_aRows.push_back(std::move(row));
    }
    ReadLastJournalTimes();
    m_pList->ClearAllSelection();
    m_pList->SetItemCount(static_cast<int>(m_aRows.size()));
    if (!m_aRows.empty()) {
        m_pList->SelectFocusAndShow(nCurrent);
    }
}

// The journal is read once for all rows; without one the column stays empty.
void CFleetDlg::ReadLastJournalTimes() {
    std::map<std::string, std::string> aLastTimes;
    if (CShopMemory* pMemory = GetApp().ShopMemory()) {
        aLastTimes = pMemory->Journal().LastTimeOfEachProfile();
    }
    for (Row& row : m_aRows) {
        auto found = aLastTimes.find(row.strName);
        row.strLastJournal = found != aLastTimes.end() ? ShownJournalTime(found->second) : "";
    }
    m_pList->viewport()->update();
}

UnitStoreSettings CFleetDlg::SettingsOf(const Row& row, const std::atomic<bool>* pCancel) const {
    UnitStoreSettings settings = GetApp().StoreSettings();
    settings.strServer = row.setData.IpAddress();
    settings.pCancel = pCancel;
    settings.strProfile = row.strName;
    return settings;
}

std::string CFleetDlg::StagingFolder(const char* pszWork, int nRow) const {
    return GetApp().ExeDir + Format("~%s%d/", pszWork, nRow);
}

// Profiles added, renamed or deleted while the window is open show, as do new journal lines.
void CFleetDlg::OnRefresh() {
    m_pStatusWorkers->Stop();
    ReadRows();
    CRZKSETApp& app = GetApp();
    // The drive table belongs to the window thread: the drive is looked at here, once.
    app.Drives.Refresh();
    const bool bUsableDrive = app.Sousa == 1 || IsUsableUsbDrive(app.Drives, app.UsbDrive);
    struct Job {
        UnitStoreSettings settings;
        const CSetData* pSetData;
        std::string strStaging;
        bool bLoaded;
        UnitStatus* pStatus;
    };
    auto pJobs = std::make_shared<std::vector<Job>>();
    // Each job writes only its own answer, which its row takes over when the job is done.
    auto pStatuses = std::make_shared<std::vector<UnitStatus>>(m_aRows.size());
    for (size_t nRow = 0; nRow < m_aRows.size(); ++nRow) {
        Row& row = m_aRows[nRow];
        row.bAnswered = false;
        row.status = UnitStatus();
        pJobs->push_back({SettingsOf(row, m_pStatusWorkers->CancelFlag()), &row.setData,
                          StagingFolder("fleet", static_cast<int>(nRow)), row.bLoaded,
                          &(*pStatuses)[nRow]});
    }
    m_pList->viewport()->update();
    disconnect(m_statusConnection);
    m_statusConnection =
        connect(m_pStatusWorkers, &CUnitWorkers::JobDone, this, [this, pStatuses](int nRow) {
            Row& row = m_aRows[static_cast<size_t>(nRow)];
            row.status = (*pStatuses)[static_cast<size_t>(nRow)];
            row.bAnswered = true;
            m_pList->RedrawRow(nRow);
        });
    m_pStatusWorkers->Start(static_cast<int>(pJobs->size()), [pJobs, bUsableDrive](int nIndex) {
        const Job& job = (*pJobs)[static_cast<size_t>(nIndex)];
        if (job.bLoaded) {
            *job.pStatus =
                ReadUnitStatus(job.settings, *job.pSetData, job.strStaging,
                               [bUsableDrive](const std::string&) { return bUsableDrive; });
        }
    });
}

bool CFleetDlg::IsAsking() const {
    return m_pStatusWorkers->IsRunning();
}

std::vector<int> CFleetDlg::SelectedRows() const {
    std::vector<int> aRows;
    for (int nRow = m_pList->GetNextSelected(-1); nRow >= 0;
         nRow = m_pList->GetNextSelected(nRow)) {
        aRows.push_back(nRow);
    }
    return aRows;
}

bool CFleetDlg::SelectRow() {
    std::vector<int> aRows = SelectedRows();
    if (aRows.size() != 1) {
        GetApp().Ui().WarningBox("機械を１台選んでください。");
        return false;
    }
    const Row& row = m_aRows[static_cast<size_t>(aRows.front())];
    CRZKSETApp& app = GetApp();
    if (row.strName != app.SetFileName) {
        app.SelectProfile(row.strName);
        emit ProfileChanged();
    }
    return true;
}

void CFleetDlg::OnSelect() {
    SelectRow();
}

void CFleetDlg::OnImport() {
    if (SelectRow()) {
        m_runOperation(1011);
    }
}

void CFleetDlg::OnOperations() {
    if (SelectRow()) {
        m_runOperation(1004);
    }
}

void CFleetDlg::OnSend() {
    CUiServices& ui = GetApp().Ui();
    std::vector<int> aRows;
    for (int nRow : SelectedRows()) {
        if (m_aRows[static_cast<size_t>(nRow)].bLoaded) {
            aRows.push_back(nRow);
        }
    }
    if (aRows.empty()) {
        ui.WarningBox("送信する機械を選んでください。");
        return;
    }
    const std::vector<std::string> aPaths = ChooseProgramFiles({});
    if (aPaths.empty()) {
        return;
    }
    struct Job {
        UnitStoreSettings settings;
        std::string strOutputName;
        std::string strStaging;
        SendReport report;
    };
    CRZKSETApp& app = GetApp();
    app.Drives.Refresh();
    const bool bUsableDrive = app.Sousa == 1 || IsUsableUsbDrive(app.Drives, app.UsbDrive);
    const std::string strUsbDriveName = app.UsbDriveName;
    auto pJobs = std::make_shared<std::vector<Job>>();
    for (int nRow : aRows) {
        const Row& row = m_aRows[static_cast<size_t>(nRow)];
        pJobs->push_back({SettingsOf(row, m_pSendWorkers->CancelFlag()),
                          CUnitStore::OutputName(row.setData),
                          StagingFolder("send", nRow),
                          {}});
    }

    // The workers see the operator's "中止" and stop their transfers as a send to one unit does.
    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowStoppableBusy();
    const int nUnits = static_cast<int>(aRows.size());
    int nSent = 0;
    CProgress::StartFile(m_aRows[static_cast<size_t>(aRows.front())].strName, 0, nUnits, "台");
    QEventLoop loop;
    connect(m_pSendWorkers, &CUnitWorkers::JobDone, &loop, [&](int nIndex) {
        const int nRow = aRows[static_cast<size_t>(nIndex)];
        m_aRows[static_cast<size_t>(nRow)].strSendResult =
            (*pJobs)[static_cast<size_t>(nIndex)].report.strMessage;
        m_pList->RedrawRow(nRow);
        CProgress::StartFile(m_aRows[static_cast<size_t>(nRow)].strName, ++nSent, nUnits, "台");
    });
    connect(m_pSendWorkers, &CUnitWorkers::AllDone, &loop, &QEventLoop::quit);
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    CJournalScope journalScope("全体表示 / 送信");
    m_pSendWorkers->Start(nUnits, [pJobs, aPaths, bUsableDrive, strUsbDriveName](int nIndex) {
        Job& job = (*pJobs)[static_cast<size_t>(nIndex)];
        std::error_code error;
        std::filesystem::create_directories(job.strStaging, error);
        // Each unit passes the check a send to one unit passes, and one not ready gets nothing.
        UnitReadiness readiness =
            CheckUnitStore(job.settings, job.strStaging, strUsbDriveName,
                           [bUsableDrive](const std::string&) { return bUsableDrive; });
        job.report = readiness.bReady
                         ? SendPrograms(aPaths, job.settings, job.strOutputName, job.strStaging)
                         : SendReport{readiness.strMessage, false, {}, readiness.bStopped};
        std::filesystem::remove_all(job.strStaging, error);
    });
    if (m_pSendWorkers->IsRunning()) {
        loop.exec();
    }
    m_pSendWorkers->Stop();
    pBusy->Close();
    ReadLastJournalTimes();

    int nFailed = 0;
    int nStopped = 0;
    std::string strDetails;
    for (size_t nIndex = 0; nIndex < aRows.size(); ++nIndex) {
        const SendReport& report = (*pJobs)[nIndex].report;
        nStopped += report.bStopped ? 1 : 0;
        nFailed += report.bOk || report.bStopped ? 0 : 1;
        strDetails +=
            m_aRows[static_cast<size_t>(aRows[nIndex])].strName + ": " + report.strMessage + "\n";
    }
    const int nDone = nUnits - nFailed - nStopped;
    std::string strMessage;
    if (nStopped > 0) {
        strMessage = StoppedMessage(nDone > 0 ? Format("%d台に登録しました。", nDone) : "");
    } else if (nFailed == 0) {
        strMessage = Format("%d台への登録が正常終了しました。", nUnits);
    } else {
        strMessage = Format("%d台のうち%d台への登録に失敗しました。", nUnits, nFailed);
    }
    ui.ReportWithDetails(nFailed == 0, strMessage, strDetails);
}

void CFleetDlg::done(int nResult) {
    m_pStatusWorkers->Stop();
    m_pSendWorkers->Stop();
    CDialog::done(nResult);
}

std::string CFleetDlg::CellText(int nRow, int nColumn) const {
    if (nRow < 0 || nRow >= static_cast<int>(m_aRows.size())) {
        return {};
    }
    const Row& row = m_aRows[static_cast<size_t>(nRow)];
    const UnitStatus& status = row.status;
    const bool bCounts = row.bAnswered && status.bReady && status.strFailure.empty();
    switch (nColumn) {
        case kName:
            return row.strName;
        case kAddress:
            if (GetApp().Sousa != 1) {
                return GetApp().UsbDriveName;
            }
            return row.bLoaded ? row.setData.IpAddress() : std::string();
        case kState:
            if (!row.bLoaded) {
                return "設定ファイルを読めません";
            }
            if (!row.bAnswered) {
                return "確認中";
            }
            if (!status.bAnswers) {
                return "応答なし";
            }
            if (!status.strFailure.empty()) {
                return "接続が切れました";
            }
            return status.bReady ? "使用可能" : "準備されていません";
        case kWaiting:
            return bCounts ? CountText(status.nWaiting) : std::string();
        case kNumbered:
            return bCounts ? CountText(status.nNumbered) : std::string();
        case kNamed:
            return bCounts ? CountText(status.nNamed) : std::string();
        case kDetail:
            return row.bAnswered ? OneLine(status.strFailure) : std::string();
        case kSendResult:
            return OneLine(row.strSendResult);
        case kLastJournal:
            return row.strLastJournal;
        default:
            return {};
    }
}
