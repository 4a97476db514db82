#include "app/ConsoleCommands.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/RZKSETApp.h"
#include "maint/StoreCheckupOperation.h"
#include "platform/ConsoleUiServices.h"
#include "transfer/ReceiveOperation.h"
#include "transfer/SendOperation.h"

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

void RunCommand(const CommandLine& line, CConsoleUiServices& ui) {
    CRZKSETApp& app = GetApp();
    using Command = CommandLine::Command;
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
        case Command::Status:
            RunStoreCheckup();
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
    auto pUi = std::make_unique<CConsoleUiServices>(line.bForce, stderr);
    CConsoleUiServices& ui = *pUi;
    app.SetUi(std::move(pUi));
    // A command must not reach a unit with the defaults in place of a profile it could not read.
    if (!app.InitData(line.strProfile)) {
        return kExitFailed;
    }
    if (line.nSousa >= 0) {
        app.Sousa = line.nSousa;
    }
    ui.SetChosenFiles(AbsolutePaths(line.aPaths));
    RunCommand(line, ui);
    return ui.HasFailed() ? kExitFailed : kExitDone;
}
