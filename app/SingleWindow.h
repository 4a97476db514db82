#pragma once

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class QLocalServer;

// One window for one data folder: a start of the program while its window runs (a second
// "Open with", a double-click on an NC program) hands its files over to that window, which
// sends them as its own "Open with" does, and ends. The window listens on a local socket named
// after the user and the data folder, so that windows of other data folders stay apart.
class CSingleWindow : public QObject {
    Q_OBJECT

public:
    explicit CSingleWindow(const std::string& strDataFolder, QObject* pParent = nullptr);

    // Hands the files (none: the window is only brought to the front) to the window that runs
    // for the data folder; true when one took them.
    bool HandToRunningWindow(const std::vector<std::string>& aPaths) const;
    // Becomes the window that later starts hand their files to; false when the socket cannot
    // be had (the program then runs on alone).
    bool Listen();

signals:
    // Files handed over by a later start; none when it only asked for the window.
    void FilesArrived(const std::vector<std::string>& aPaths);

private:
    void OnConnection();

    QString m_strName;
    QLocalServer* m_pServer = nullptr;
};
