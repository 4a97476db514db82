#include "app/ConsoleCommands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/RZKSETApp.h"
#include "journal/JournalScope.h"
#include "maint/StoreCheckupOperation.h"
#include "numlist/FileNo.h"
#include "numlist/NumberImport.h"
#include "numlist/NumberRegistration.h"
#include "numlist/Registration.h"
#include "platform/ConsoleUiServices.h"
#include "platform/Text.h"
#include "settings/ProfileFolder.h"
#include "transfer/ReceiveOperation.h"
#include "transfer/SendOperation.h"
#include "transfer/TapeCheck.h"
#include "unitstore/StoreAction.h"

namespace {

// Paths as the operations keep them: absolute, so that the folder remembered and the file
// name in the messages are the same as from the file dialog.
std::vector<std::string> AbsolutePaths(const std::vector<std::string>& aPaths) {
    std::vector<std::string> aAbsolute;
    for (const std::string& strPath : aPaths) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(strPath, error);
        aAbsolute.push_back(error ? strPath : absolute.lexically_normal().string());
    }
    return aAbsolute;
}

void Send(CUiServices& ui, const std::vector<std::string>& aPaths) {
    std::optional<SendReport> report = SendChosenFiles(aPaths);
    if (!report) {
        return;
    }
    std::string strMessage = report->strMessage;
    for (const std::string& strName : report->aMergedNames) {
        strMessage += "\n" + strName;
    }
    ui.ReportOutcome(report->bOk, strMessage);
}

// The number registration's "登録" with the files after the list's last entry, numbered on
// from nNo, and its "閉じる" when something was registered.
void Register(CUiServices& ui, const std::vector<std::string>& aFiles, int nNo) {
    CRZKSETApp& app = GetApp();
    CFileNo list;
    if (std::string strFailure = OpenNumberList(list); !strFailure.empty()) {
        ui.WarningBox(strFailure);
        return;
    }
    if (!CTapeCheck::ConfirmFiles(ui, aFiles, false, app.SetData.REMOTE_NO,
                                  app.SetData.REMOTE_NO2)) {
        return;
    }
    size_t nEntries = list.m_aData.size();
    CStoreAction action(app.StoreSettings(), kProgramFolder);
    std::string strFailure =
        action.Message(RegisterNumberedFiles(action, list, aFiles, nNo, nEntries, {}));
    action.Close();
    if (!strFailure.empty()) {
        ui.WarningBox(strFailure);
    }
    // The programs that reached the unit get their entries, as closing the dialog would.
    if (list.m_aData.size() > nEntries) {
        if (std::string strWriteFailure = SaveNumberList(list); !strWriteFailure.empty()) {
            ui.WarningBox(strWriteFailure);
            return;
        }
    }
    for (size_t nEntry = nEntries; nEntry < list.m_aData.size(); ++nEntry) {
        const FILENODATA& entry = list.m_aData[nEntry];
        ui.MessageBox(
            Format("%sを番号%dに登録しました。", Cp932ToDisplay(entry.strName).c_str(), entry.nNo));
    }
}

// The store check-up, as the window shows it or as one JSON object for scripts.
void Status(CConsoleUiServices& ui, bool bJson) {
    if (!bJson) {
        RunStoreCheckup();
        return;
    }
    StoreCheckupResult result = CheckCurrentStore();
    if (!result.checkup) {
        ui.WriteResult(Format("{\"failure\":%s}", JsonQuoted(result.strFailure).c_str()));
        ui.WarningBox(result.strFailure);
        return;
    }
    ui.WriteResult(result.checkup->ToJson());
    if (result.checkup->HasProblems()) {
        ui.ReportWithDetails(false, result.checkup->Summary(), "");
    }
}

// A profile named on the command line that is not there, or does not read: nothing is reset
// (as the window resets a profile it could not read), and the operator learns which profiles
// there are.
bool CheckNamedProfile(CUiServices& ui, const std::string& strProfile) {
    CProfileFolder folder(CRZKSETApp::DataFolder() + "Data/");
    std::vector<std::string> aNames = folder.Names();
    if (strProfile.empty()) {
        return true;
    }
    if (std::find(aNames.begin(), aNames.end(), strProfile) != aNames.end()) {
        CSetData setData;
        if (setData.LoadProfile(folder.PathOf(strProfile)) == 0) {
            return true;
        }
        ui.WarningBox(
            Format("機械「%s」の設定ファイルを読み込めませんでした。", strProfile.c_str()));
        return false;
    }
    std::string strNames;
    for (const std::string& strName : aNames) {
        strNames.append(strNames.empty() ? "" : "、").append(strName);
    }
    ui.WarningBox(Format("機械「%s」の設定がありません。\n機械の設定: %s", strProfile.c_str(),
                         strNames.empty() ? "（ありません）" : strNames.c_str()));
    return false;
}

// The number import's "取込" of the program nNo into the PC file strPath.
void Import(CUiServices& ui, int nNo, const std::string& strPath) {
    ProgramImport outcome = ImportWaitingProgram(nNo, strPath, NameOfPath(strPath));
    ui.ReportOutcome(outcome.bDone, outcome.strMessage);
}

// The name of the command on its journal lines, where the window's lines name its buttons:
// the journal window then tells the scripts' work from the operator's.
const char* JournalOperation(CommandLine::Command command) {
    using Command = CommandLine::Command;
    switch (command) {
        case Command::Send:
            return "コマンド / 送信";
        case Command::Receive:
            return "コマンド / 受信";
        case Command::Register:
            return "コマンド / 番号登録";
        case Command::Import:
            return "コマンド / 番号取込";
        case Command::Status:
        case Command::Window:
        case Command::Help:
        case Command::Version:
            break;
    }
    return "コマンド";
}

void RunCommand(const CommandLine& line, CConsoleUiServices& ui) {
    CRZKSETApp& app = GetApp();
    using Command = CommandLine::Command;
    // The send's merge names its sources in this scope, as in the window's.
    CJournalScope journalScope(JournalOperation(line.command));
    // The store check-up reports a store that is not ready itself.
    if (line.command != Command::Status && !app.CheckUnit()) {
        return;
    }
    switch (line.command) {
        case Command::Send:
            Send(ui, line.aPaths);
            break;
        case Command::Receive:
            RunNormalReceive();
            break;
        case Command::Register:
            Register(ui, line.aPaths, line.nNo);
            break;
        case Command::Import:
            Import(ui, line.nNo, line.aPaths.front());
            break;
        case Command::Status:
            Status(ui, line.bJson);
            break;
        case Command::Window:
        case Command::Help:
        case Command::Version:
            break;
    }
}

}  // namespace

int RunConsoleCommand(const CommandLine& line) {
    if (!line.strError.empty()) {
        std::fprintf(stderr, "rzkset: %s\n詳しくは rzkset --help を見てください。\n",
                     line.strError.c_str());
        return kExitBadArguments;
    }
    if (line.command == CommandLine::Command::Help) {
        std::fputs(CommandLineUsage().c_str(), stdout);
        return kExitDone;
    }
    if (line.command == CommandLine::Command::Version) {
        std::printf("rzkset %s\n", RZKSET_VERSION);
        return kExitDone;
    }
    CRZKSETApp& app = GetApp();
    auto pUi = std::make_unique<CConsoleUiServices>(line.bForce, line.bNoCopy, stdout, stderr);
    CConsoleUiServices& ui = *pUi;
    app.SetUi(std::move(pUi));
    // A command must not reach a unit with the defaults in place of a profile it could not read.
    if (!CheckNamedProfile(ui, line.strProfile) || !app.InitData(line.strProfile)) {
        return kExitFailed;
    }
    if (line.nSousa >= 0) {
        app.Sousa = line.nSousa;
    }
    CommandLine absolute = line;
    absolute.aPaths = AbsolutePaths(line.aPaths);
    ui.SetChosenFiles(absolute.aPaths);
    RunCommand(absolute, ui);
    return ui.HasFailed() ? kExitFailed : kExitDone;
}
