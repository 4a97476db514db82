#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "app/CommandLine.h"
#include "app/ConsoleCommands.h"
#include "app/RZKSETApp.h"
#include "app/RZKSETDlg.h"
#include "app/SingleWindow.h"

namespace {

bool g_bStarting = true;

// Qt ends the process when it cannot open the display; say so plainly instead of dumping core,
// before any window or file is touched.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& strMessage) {
    if (type == QtFatalMsg && g_bStarting) {
        std::fprintf(stderr, "RZKSET: the display cannot be opened (%s)\n",
                     strMessage.toLocal8Bit().constData());
        std::_Exit(EXIT_FAILURE);
    }
    std::fprintf(stderr, "%s\n", strMessage.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::abort();
    }
}

// The window, and the send of the files a file manager handed over once it is up.
int RunWindow(int argc, char** argv) {
    qInstallMessageHandler(StartupMessageHandler);
    QApplication application(argc, argv);
    g_bStarting = false;
    qInstallMessageHandler(nullptr);
    // Qt has taken its own options (-platform, -style, ...) out of argv: the rest are files.
    const std::vector<std::string> aFiles =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)).aPaths;
    CSingleWindow singleWindow(CRZKSETApp::DataFolder());
    if (singleWindow.HandToRunningWindow(aFiles)) {
        return EXIT_SUCCESS;
    }
    singleWindow.Listen();
    CRZKSETApp& app = GetApp();
    app.InitInstance();
    {
        CRZKSETDlg dialog;
        QObject::connect(&singleWindow, &CSingleWindow::FilesArrived, &dialog,
                         [&dialog](const std::vector<std::string>& aPaths) {
                             dialog.SendFilesWhenFree(aPaths);
                         });
        if (!aFiles.empty()) {
            QTimer::singleShot(0, &dialog, [&dialog, &aFiles] { dialog.SendFiles(aFiles); });
        }
        app.Ui().RunModal(dialog);
    }
    return app.ExitInstance();
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.IsConsole()) {
        return RunWindow(argc, argv);
    }
    // The commands open no window, so they need no display.
    QCoreApplication application(argc, argv);
    return RunConsoleCommand(line);
}
