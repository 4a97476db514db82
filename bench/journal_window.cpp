// journal_window FOLDER LINES: the journal window over a journal of LINES lines in FOLDER (made
// when missing), under Qt's offscreen platform. Prints the seconds from the window's making
// to its rows being there, and the longest of the filterings while "O0123" is typed into the
// name field, one character at a time.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/RZKSETApp.h"
#include "journal/Journal.h"
#include "journal/JournalDlg.h"
#include "platform/Digest.h"
#include "platform/Text.h"

namespace {

void MakeJournal(const std::string& strFolder, int nLines) {
    CJournal journal(strFolder, 1LL << 40);
    if (!journal.ReadAll().empty()) {
        return;
    }
    std::string strText;
    for (int i = 0; i < nLines; ++i) {
        JournalRecord record;
        record.strTime = Format("2026-%02d-%02dT%02d:%02d:%02d+0900", 1 + i % 12, 1 + i % 28,
                                i % 24, i % 60, i % 59);
        record.strProfile = Format("%d号機", 1 + i % 8);
        record.strTransport = "ftp";
        record.strAddress = "192.168.0.10";
        record.strOperation = i % 3 == 0 ? "番号登録 / 登録" : "ファイル操作 / 全消去";
        record.strDirection =
            i % 3 == 0 ? JournalRecord::kDirectionToUnit : JournalRecord::kDirectionDeleteOnUnit;
        record.strPcPath = Format("/home/operator/NC/O%04d.NC", i % 10000);
        record.strUnitName = Format("RzFilesOut/%04d.fno", i % 10000);
        record.nSize = 5120;
        record.strSha256 = Sha256Hex(record.strUnitName);
        record.strOutcome = JournalRecord::kOutcomeDone;
        record.strKept = record.strSha256;
        strText += record.ToJsonLine() + "\n";
    }
    std::FILE* pFile = std::fopen(journal.CurrentPath().c_str(), "wb");
    if (pFile == nullptr ||
        std::fwrite(strText.data(), 1, strText.size(), pFile) != strText.size() ||
        std::fclose(pFile) != 0) {
        std::fprintf(stderr, "journal_window: cannot write %s\n", journal.CurrentPath().c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: journal_window FOLDER/ LINES\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    CRZKSETApp::InitUserInterface();
    CRZKSETApp& app = GetApp();
    app.ExeDir = argv[1];
    MakeJournal(app.ExeDir, std::atoi(argv[2]));
    app.OpenShopMemory();

    QElapsedTimer timer;
    timer.start();
    CJournalDlg dialog;
    if (!dialog.OnInitDialog()) {
        return 1;
    }
    dialog.show();
    QApplication::processEvents();
    double dOpen = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    double dLongestKey = 0;
    std::string strTyped;
    for (char c : std::string("O0123")) {
        strTyped += c;
        timer.restart();
        dialog.Edit(1103).setText(QString::fromStdString(strTyped));
        QApplication::processEvents();
        dLongestKey = std::max(dLongestKey, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    std::printf("rows %d open %.4f key %.4f\n", dialog.ShownRows(), dOpen, dLongestKey);
    return 0;
}
