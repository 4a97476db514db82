#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "app/RZKSETApp.h"
#include "app/RZKSETDlg.h"

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

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(StartupMessageHandler);
    QApplication application(argc, argv);
    g_bStarting = false;
    qInstallMessageHandler(nullptr);
    CRZKSETApp& app = GetApp();
    app.InitInstance();
    {
        CRZKSETDlg dialog;
        app.Ui().RunModal(dialog);
    }
    return app.ExitInstance();
}
