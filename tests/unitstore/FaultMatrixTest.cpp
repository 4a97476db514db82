#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "maint/UnitMaintenance.h"
#include "tests/fakes/FakeUiServices.h"
#include "tests/fakes/TestServers.h"
#include "unitstore/UnitReadiness.h"
#include "unitstore/UnitStore.h"

// Every operation of the unit store, the readiness check, and the actions of the maintenance
// dialog, against every fault the unit simulator can show: what the operation answers, the text the
// program would report, how long it takes against the time-out, and what it leaves on the unit and
// on the PC.

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kTimeoutSeconds = 3;
// Over the time-out: the retry that removes a temporary file, the passive data connection's
// occasional pause, and the start of the process.
constexpr auto kWaitMargin = 2500ms;

const std::string kOldOutput = "%\r\nO0001(OLD)\r\n%\r\n";
const std::string kInput = RandomBytes(300 * 1024);
const std::string kNewOutput = RandomBytes(1024 * 1024);
const std::string kOperatorsFile = "the operator's own file";
const std::string kAddressEnd = "\n127.0.0.1への接続に失敗しました。";
const std::string kNoMemoryOnUnit =
    "RZK-70で利用できるＵＳＢメモリが接続されていません。\n"
    "RZK-70にＵＳＢメモリを接続しているか確認してください。\n"
    "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。";

enum class Operation {
    Connect,
    SetFolder,
    PutFile,
    GetFile,
    Remove,
    CreateDirectory,
    FindFiles,
    CheckUnitReady,
    CollectMaintenanceReport,
    DeleteMaintenanceFiles
};

// What the operation changes on the unit when it is done; a failed operation changes nothing,
// except a direct upload whose partial file is removed.
enum class UnitAfter {
    Unchanged,
    OutputReplaced,
    OutputRemoved,
    InputRemoved,
    FolderMade,
    MaintenanceRemoved
};

struct FaultCell {
    const char* szName;
    std::vector<std::string> aFaults;  // options of the simulator; "closed" for no server
    Operation operation;
    bool bResult;
    bool bConnectionFailed;
    // Part of the text the program shows: the connection message, or the readiness check's
    // box; nullptr where the operation shows nothing of its own.
    const char* szText;
    bool bWaitsForTimeout;
    UnitAfter unitAfter;
};

void PrintTo(const FaultCell& cell, std::ostream* pStream) {
    *pStream << cell.szName;
}

const std::vector<std::string> kClosedPort = {"closed"};
const std::vector<std::string> kStallLogin = {"--stall-login"};
const std::vector<std::string> kDataCut = {"--cut-data-after", "100"};
// A unit whose SIZE (and the size it announces when a transfer opens) is wrong either way.
const std::vector<std::string> kSizeTooSmall = {"--size-reply", "10"};
const std::vector<std::string> kSizeTooLarge = {"--size-reply", "1073741824"};
// Data that never stops and never gets on: about 20 bytes a second.
const std::vector<std::string> kTrickle = {"--rate", "20"};

std::vector<std::string> Refuse(const char* szCommand) {
    return {"--refuse", szCommand};
}
std::vector<std::string> Stall(const char* szCommand) {
    return {"--stall", szCommand};
}
std::vector<std::string> CutControl(const char* szCommand) {
    return {"--cut-control-after-command", szCommand};
}

constexpr const char* kTimeout = "ユニットが時間内に応答しませんでした。";
constexpr const char* kNoServer = "ユニットが接続を受け付けませんでした。";
constexpr const char* kCutControl = "ユニットとの接続が切れました。";
// The words for a cut data connection depend on how far the transfer had got.
constexpr const char* kCutData = "";

const FaultCell kCells[] = {
    {"Connect", {}, Operation::Connect, true, false, nullptr, false, UnitAfter::Unchanged},
    {"Connect_ClosedPort", kClosedPort, Operation::Connect, false, true, kNoServer, false,
     UnitAfter::Unchanged},
    {"Connect_StallLogin", kStallLogin, Operation::Connect, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"Connect_RefusePASS", Refuse("PASS"), Operation::Connect, false, true,
     "ユニットがログインを拒否しました。\n127.0.0.1", false, UnitAfter::Unchanged},
    {"Connect_StallPASS", Stall("PASS"), Operation::Connect, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"Connect_CutControlUSER", CutControl("USER"), Operation::Connect, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    {"Connect_StallQUIT", Stall("QUIT"), Operation::Connect, true, false, nullptr, false,
     UnitAfter::Unchanged},

    {"SetFolder", {}, Operation::SetFolder, true, false, nullptr, false, UnitAfter::Unchanged},
    {"SetFolder_ClosedPort", kClosedPort, Operation::SetFolder, false, true, kNoServer, false,
     UnitAfter::Unchanged},
    {"SetFolder_StallLogin", kStallLogin, Operation::SetFolder, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"SetFolder_RefuseCWD", Refuse("CWD"), Operation::SetFolder, false, false, nullptr, false,
     UnitAfter::Unchanged},
    {"SetFolder_StallCWD", Stall("CWD"), Operation::SetFolder, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"SetFolder_CutControlCWD", CutControl("CWD"), Operation::SetFolder, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    {"SetFolder_CutData", kDataCut, Operation::SetFolder, true, false, nullptr, false,
     UnitAfter::Unchanged},

    {"PutFile", {}, Operation::PutFile, true, false, nullptr, false, UnitAfter::OutputReplaced},
    {"PutFile_ClosedPort", kClosedPort, Operation::PutFile, false, true, kNoServer, false,
     UnitAfter::Unchanged},
    {"PutFile_StallLogin", kStallLogin, Operation::PutFile, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"PutFile_RefuseSTOR", Refuse("STOR"), Operation::PutFile, false, false, nullptr, false,
     UnitAfter::Unchanged},
    {"PutFile_StallSTOR", Stall("STOR"), Operation::PutFile, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"PutFile_CutControlSTOR", CutControl("STOR"), Operation::PutFile, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    {"PutFile_CutData", kDataCut, Operation::PutFile, false, true, kCutData, false,
     UnitAfter::Unchanged},
    {"PutFile_RefuseRNFR", Refuse("RNFR"), Operation::PutFile, true, false, nullptr, false,
     UnitAfter::OutputReplaced},
    {"PutFile_RefuseRNTO", Refuse("RNTO"), Operation::PutFile, true, false, nullptr, false,
     UnitAfter::OutputReplaced},
    {"PutFile_StallRNFR", Stall("RNFR"), Operation::PutFile, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"PutFile_CutControlRNTO", CutControl("RNTO"), Operation::PutFile, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    // Without a rename the file goes again straight under its name; that transfer cut, the
    // partial file is removed.
    {"PutFile_RefuseRNFRCutData",
     {"--refuse", "RNFR", "--cut-data-after", "100", "--cut-data-skip", "1"},
     Operation::PutFile,
     false,
     true,
     kCutData,
     false,
     UnitAfter::OutputRemoved},

    {"GetFile", {}, Operation::GetFile, true, false, nullptr, false, UnitAfter::Unchanged},
    {"GetFile_ClosedPort", kClosedPort, Operation::GetFile, false, true, kNoServer, false,
     UnitAfter::Unchanged},
    {"GetFile_StallLogin", kStallLogin, Operation::GetFile, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"GetFile_RefuseRETR", Refuse("RETR"), Operation::GetFile, false, false, nullptr, false,
     UnitAfter::Unchanged},
    {"GetFile_RefuseSIZE", Refuse("SIZE"), Operation::GetFile, true, false, nullptr, false,
     UnitAfter::Unchanged},
    {"GetFile_StallRETR", Stall("RETR"), Operation::GetFile, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    // A download asks no SIZE: the end of the data connection ends the file.
    {"GetFile_StallSIZE", Stall("SIZE"), Operation::GetFile, true, false, nullptr, false,
     UnitAfter::Unchanged},
    {"GetFile_CutControlRETR", CutControl("RETR"), Operation::GetFile, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    {"GetFile_CutData", kDataCut, Operation::GetFile, false, true, kCutData, false,
     UnitAfter::Unchanged},
    {"GetFile_SizeTooSmall", kSizeTooSmall, Operation::GetFile, true, false, nullptr, false,
     UnitAfter::Unchanged},
    {"GetFile_SizeTooLarge", kSizeTooLarge, Operation::GetFile, true, false, nullptr, false,
     UnitAfter::Unchanged},
    {"GetFile_Trickle", kTrickle, Operation::GetFile, false, true, kTimeout, true,
     UnitAfter::Unchanged},

    {"Remove", {}, Operation::Remove, true, false, nullptr, false, UnitAfter::InputRemoved},
    {"Remove_ClosedPort", kClosedPort, Operation::Remove, false, true, kNoServer, false,
     UnitAfter::Unchanged},
    {"Remove_StallLogin", kStallLogin, Operation::Remove, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"Remove_RefuseDELE", Refuse("DELE"), Operation::Remove, false, false, nullptr, false,
     UnitAfter::Unchanged},
    {"Remove_StallDELE", Stall("DELE"), Operation::Remove, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"Remove_CutControlDELE", CutControl("DELE"), Operation::Remove, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    {"Remove_CutData", kDataCut, Operation::Remove, true, false, nullptr, false,
     UnitAfter::InputRemoved},

    {"CreateDirectory",
     {},
     Operation::CreateDirectory,
     true,
     false,
     nullptr,
     false,
     UnitAfter::FolderMade},
    {"CreateDirectory_ClosedPort", kClosedPort, Operation::CreateDirectory, false, true, kNoServer,
     false, UnitAfter::Unchanged},
    {"CreateDirectory_StallLogin", kStallLogin, Operation::CreateDirectory, false, true, kTimeout,
     true, UnitAfter::Unchanged},
    {"CreateDirectory_RefuseMKD", Refuse("MKD"), Operation::CreateDirectory, false, false, nullptr,
     false, UnitAfter::Unchanged},
    {"CreateDirectory_StallMKD", Stall("MKD"), Operation::CreateDirectory, false, true, kTimeout,
     true, UnitAfter::Unchanged},
    {"CreateDirectory_CutControlMKD", CutControl("MKD"), Operation::CreateDirectory, false, true,
     kCutControl, false, UnitAfter::Unchanged},
    {"CreateDirectory_CutData", kDataCut, Operation::CreateDirectory, true, false, nullptr, false,
     UnitAfter::FolderMade},

    {"FindFiles", {}, Operation::FindFiles, true, false, nullptr, false, UnitAfter::Unchanged},
    {"FindFiles_ClosedPort", kClosedPort, Operation::FindFiles, false, true, kNoServer, false,
     UnitAfter::Unchanged},
    {"FindFiles_StallLogin", kStallLogin, Operation::FindFiles, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"FindFiles_RefuseLIST", Refuse("LIST"), Operation::FindFiles, false, false, nullptr, false,
     UnitAfter::Unchanged},
    {"FindFiles_StallLIST", Stall("LIST"), Operation::FindFiles, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    {"FindFiles_CutControlLIST", CutControl("LIST"), Operation::FindFiles, false, true, kCutControl,
     false, UnitAfter::Unchanged},
    {"FindFiles_CutData", kDataCut, Operation::FindFiles, false, true, kCutData, false,
     UnitAfter::Unchanged},
    {"FindFiles_Trickle", kTrickle, Operation::FindFiles, false, true, kTimeout, true,
     UnitAfter::Unchanged},
    // A listing with a line far longer than any real one is damaged: refused, not kept.
    {"FindFiles_EndlessLine",
     {"--list-line", "4194304"},
     Operation::FindFiles,
     false,
     false,
     nullptr,
     false,
     UnitAfter::Unchanged},

    {"CheckUnitReady",
     {},
     Operation::CheckUnitReady,
     true,
     false,
     nullptr,
     false,
     UnitAfter::Unchanged},
    {"CheckUnitReady_ClosedPort", kClosedPort, Operation::CheckUnitReady, false, true, kNoServer,
     false, UnitAfter::Unchanged},
    {"CheckUnitReady_StallLogin", kStallLogin, Operation::CheckUnitReady, false, true, kTimeout,
     true, UnitAfter::Unchanged},
    {"CheckUnitReady_RefuseRETR", Refuse("RETR"), Operation::CheckUnitReady, false, false,
     kNoMemoryOnUnit.c_str(), false, UnitAfter::Unchanged},
    {"CheckUnitReady_RefuseSIZE", Refuse("SIZE"), Operation::CheckUnitReady, true, false, nullptr,
     false, UnitAfter::Unchanged},
    {"CheckUnitReady_StallRETR", Stall("RETR"), Operation::CheckUnitReady, false, true, kTimeout,
     true, UnitAfter::Unchanged},
    {"CheckUnitReady_CutControlRETR", CutControl("RETR"), Operation::CheckUnitReady, false, true,
     kCutControl, false, UnitAfter::Unchanged},
    {"CheckUnitReady_CutData", kDataCut, Operation::CheckUnitReady, true, false, nullptr, false,
     UnitAfter::Unchanged},
    {"CheckUnitReady_StallQUIT", Stall("QUIT"), Operation::CheckUnitReady, true, false, nullptr,
     false, UnitAfter::Unchanged},

    // The report answers true unless the unit could not be reached; a file that cannot be
    // fetched only leaves its section empty.
    {"Report",
     {},
     Operation::CollectMaintenanceReport,
     true,
     false,
     nullptr,
     false,
     UnitAfter::Unchanged},
    {"Report_ClosedPort", kClosedPort, Operation::CollectMaintenanceReport, false, true, kNoServer,
     false, UnitAfter::Unchanged},
    {"Report_StallLogin", kStallLogin, Operation::CollectMaintenanceReport, false, true, kTimeout,
     true, UnitAfter::Unchanged},
    {"Report_RefuseCWD", Refuse("CWD"), Operation::CollectMaintenanceReport, true, false, nullptr,
     false, UnitAfter::Unchanged},
    {"Report_RefuseRETR", Refuse("RETR"), Operation::CollectMaintenanceReport, true, false, nullptr,
     false, UnitAfter::Unchanged},
    {"Report_StallRETR", Stall("RETR"), Operation::CollectMaintenanceReport, false, true, kTimeout,
     true, UnitAfter::Unchanged},
    {"Report_CutControlRETR", CutControl("RETR"), Operation::CollectMaintenanceReport, false, true,
     kCutControl, false, UnitAfter::Unchanged},
    {"Report_CutData", kDataCut, Operation::CollectMaintenanceReport, false, true, kCutData, false,
     UnitAfter::Unchanged},

    // Deleting reports nothing: the report made afterwards shows what is left.
    {"DeleteReport",
     {},
     Operation::DeleteMaintenanceFiles,
     true,
     false,
     nullptr,
     false,
     UnitAfter::MaintenanceRemoved},
    {"DeleteReport_ClosedPort", kClosedPort, Operation::DeleteMaintenanceFiles, true, false,
     nullptr, false, UnitAfter::Unchanged},
    {"DeleteReport_StallLogin", kStallLogin, Operation::DeleteMaintenanceFiles, true, false,
     nullptr, true, UnitAfter::Unchanged},
    {"DeleteReport_RefuseDELE", Refuse("DELE"), Operation::DeleteMaintenanceFiles, true, false,
     nullptr, false, UnitAfter::Unchanged},
    {"DeleteReport_StallDELE", Stall("DELE"), Operation::DeleteMaintenanceFiles, true, false,
     nullptr, true, UnitAfter::Unchanged},
    {"DeleteReport_CutControlDELE", CutControl("DELE"), Operation::DeleteMaintenanceFiles, true,
     false, nullptr, false, UnitAfter::Unchanged},
};

// INFO.INI is longer than the data cut of kDataCut, so that the cut hits its download.
const char* const kMaintenanceFiles[][2] = {
    {"images/INFO.INI",
     "NAME=RZK-70\r\nMAINVER=1.\r\nSUBVER=02\r\nREV=A\r\nMAC=00:11:22:33:44:55\r\n"
     "; the unit's identity, as it writes it on the memory it serves\r\n"},
    {"images/PVNRSIO.INI", "BPS=1\r\n"},
    {"images/interfaces", "auto lo\r\n"},
    {"images/RZK70.REQ", "BNUMEX=1\r\n"}};

bool IsStoreOperation(Operation operation) {
    return operation != Operation::CheckUnitReady &&
           operation != Operation::CollectMaintenanceReport &&
           operation != Operation::DeleteMaintenanceFiles;
}

// Every file and folder under a folder, with the bytes of each file ("/" for a folder).
std::map<std::string, std::string> TreeOf(const fs::path& folder) {
    std::map<std::string, std::string> aTree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string strName = fs::relative(entry.path(), folder).string();
        aTree[strName] = entry.is_directory() ? "/" : ReadBytes(entry.path().string());
    }
    return aTree;
}

class FaultMatrixTest : public ::testing::TestWithParam<FaultCell> {
protected:
    void SetUp() override {
        fs::create_directories(m_unit / "pub/RzFilesIn");
        WriteBytes(m_unit / "pub/PVN_RZK70", "");
        WriteBytes(m_unit / "pub/RZKIN", kInput);
        WriteBytes(m_unit / "pub/RZKOUT", kOldOutput);
        WriteBytes(m_unit / "pub/RzFilesIn/0001.fno", "%\r\n");
        fs::create_directories(m_unit / "pub/images");
        for (const auto& file : kMaintenanceFiles) {
            WriteBytes(m_unit / "pub" / file[0], file[1]);
        }
        WriteBytes(m_local / "new.nc", kNewOutput);
        WriteBytes(m_local / "RZKIN", kOperatorsFile);
    }

    // The unit's store as the operation should leave it.
    std::map<std::string, std::string> ExpectedUnit(UnitAfter unitAfter) const {
        std::map<std::string, std::string> aTree = {{"PVN_RZK70", ""},
                                                    {"RZKIN", kInput},
                                                    {"RZKOUT", kOldOutput},
                                                    {"RzFilesIn", "/"},
                                                    {"RzFilesIn/0001.fno", "%\r\n"},
                                                    {"images", "/"}};
        if (unitAfter != UnitAfter::MaintenanceRemoved) {
            for (const auto& file : kMaintenanceFiles) {
                aTree[file[0]] = file[1];
            }
        }
        switch (unitAfter) {
            case UnitAfter::Unchanged:
                break;
            case UnitAfter::OutputReplaced:
                aTree["RZKOUT"] = kNewOutput;
                break;
            case UnitAfter::OutputRemoved:
                aTree.erase("RZKOUT");
                break;
            case UnitAfter::InputRemoved:
                aTree.erase("RZKIN");
                break;
            case UnitAfter::FolderMade:
                aTree["RzFilesOut"] = "/";
                break;
            case UnitAfter::MaintenanceRemoved:
                break;
        }
        return aTree;
    }

    // Connects and goes to the store root first, as the program's actions do; the operation
    // runs even after a failed connection, which must fail it at once.
    bool Run(Operation operation, CUnitStore& store) {
        if (operation == Operation::CollectMaintenanceReport) {
            m_strReport = CollectMaintenanceReport(store.Settings(), m_local.Path());
            return m_strReport.starts_with("---Ver.---\r\n");
        }
        if (operation == Operation::DeleteMaintenanceFiles) {
            DeleteMaintenanceFiles(store.Settings());
            return true;
        }
        if (operation == Operation::CheckUnitReady) {
            return CheckUnitReady(store.Settings(), m_local.Path(), "", m_ui,
                                  [](const std::string&) { return true; });
        }
        bool bConnected = store.Connect();
        if (operation == Operation::Connect) {
            return bConnected;
        }
        if (operation == Operation::SetFolder) {
            return store.SetFolder("RzFilesIn");
        }
        store.SetFolder("/pub/");
        switch (operation) {
            case Operation::PutFile:
                return store.PutFile(m_local / "new.nc", "RZKOUT");
            case Operation::GetFile:
                return store.GetFile("RZKIN", m_local / "RZKIN");
            case Operation::Remove:
                return store.Remove("RZKIN");
            case Operation::CreateDirectory:
                return store.CreateDirectory("RzFilesOut");
            case Operation::FindFiles:
                return store.FindFiles("*").has_value();
            default:
                return false;
        }
    }

    // The text the program shows for the outcome: the readiness check's box, the report that
    // a failed connection replaces, or the message of a failed connection.
    std::string ShownText(Operation operation, const CUnitStore& store) const {
        if (operation == Operation::CollectMaintenanceReport) {
            return m_strReport.starts_with("---Ver.---\r\n") ? "" : m_strReport;
        }
        if (operation == Operation::DeleteMaintenanceFiles) {
            return "";
        }
        if (operation == Operation::CheckUnitReady) {
            return m_ui.Boxes().empty() ? "" : m_ui.Boxes().front().strText;
        }
        return store.HasConnectionFailed() ? store.ConnectionFailureMessage() : "";
    }

    CTestFolder m_root;
    fs::path m_unit = m_root / "unit";
    CTestFolder m_local;
    CFakeUiServices m_ui;
    std::string m_strReport;
};

TEST_P(FaultMatrixTest, AnswersReportsAndLeavesTheStoresWithinTheTimeout) {
    const FaultCell& cell = GetParam();
    std::unique_ptr<CUnitSimulator> pSimulator;
    int nPort = 0;
    if (cell.aFaults == kClosedPort) {
        nPort = CUnitSimulator(m_unit.string(), {}).Port();  // free again once it has stopped
    } else {
        pSimulator = std::make_unique<CUnitSimulator>(m_unit.string(), cell.aFaults);
        nPort = pSimulator->Port();
    }
    UnitStoreSettings settings;
    settings.nSousa = 1;
    settings.strServer = "127.0.0.1";
    settings.nPort = nPort;
    settings.nTimeoutSeconds = kTimeoutSeconds;
    CUnitStore store(settings);

    auto start = std::chrono::steady_clock::now();
    bool bResult = Run(cell.operation, store);
    store.Close();
    auto elapsed = std::chrono::steady_clock::now() - start;
    pSimulator.reset();

    EXPECT_EQ(bResult, cell.bResult);
    std::string strText = ShownText(cell.operation, store);
    if (IsStoreOperation(cell.operation)) {
        EXPECT_EQ(store.HasConnectionFailed(), cell.bConnectionFailed);
    }
    if (cell.szText == nullptr) {
        EXPECT_EQ(strText, "");
    } else {
        EXPECT_NE(strText.find(cell.szText), std::string::npos) << strText;
    }
    if (cell.bConnectionFailed) {
        EXPECT_TRUE(strText.ends_with(kAddressEnd)) << strText;
        EXPECT_FALSE(strText.starts_with("\n")) << "the words for the failure come first";
        if (IsStoreOperation(cell.operation)) {
            EXPECT_NE(store.ConnectionFailureDetail(), "") << "curl's words go to the journal";
        }
    }
    // The operator reads Japanese: no wording of curl's reaches what the program shows.
    for (int nCode = CURLE_OK + 1; nCode < CURL_LAST; ++nCode) {
        std::string strCurlText = curl_easy_strerror(static_cast<CURLcode>(nCode));
        EXPECT_EQ(strText.find(strCurlText), std::string::npos) << strText;
    }
    if (cell.bWaitsForTimeout) {
        EXPECT_GE(elapsed, std::chrono::seconds(kTimeoutSeconds) - 100ms);
        EXPECT_LT(elapsed, std::chrono::seconds(kTimeoutSeconds) + kWaitMargin);
    } else {
        EXPECT_LT(elapsed, std::chrono::seconds(kTimeoutSeconds));
    }

    EXPECT_TRUE(TreeOf(m_unit / "pub") == ExpectedUnit(cell.unitAfter));
    bool bFetched = cell.operation == Operation::GetFile && cell.bResult;
    EXPECT_TRUE(ReadBytes(m_local / "RZKIN") == (bFetched ? kInput : kOperatorsFile));
    EXPECT_EQ(FolderEntries(m_local.Path()), (std::set<std::string>{"RZKIN", "new.nc"}));
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrixTest, ::testing::ValuesIn(kCells),
                         [](const ::testing::TestParamInfo<FaultCell>& paramInfo) {
                             return std::string(paramInfo.param.szName);
                         });

}  // namespace
