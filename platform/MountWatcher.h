#pragma once

#include <QObject>

#include <optional>
#include <set>
#include <string>

class QSocketNotifier;

// Tells when volumes are mounted. The kernel marks the mount table of a process with POLLPRI
// whenever something is mounted or unmounted; the watcher waits for that mark in the event
// loop, reads the table again and compares it with the previous reading, so it needs neither a
// timer nor a thread.
class CMountWatcher : public QObject {
    Q_OBJECT

public:
    // Watches <strProcRoot>/self/mountinfo.
    explicit CMountWatcher(const std::string& strProcRoot = "/proc", QObject* pParent = nullptr);
    ~CMountWatcher() override;
    CMountWatcher(const CMountWatcher&) = delete;
    CMountWatcher& operator=(const CMountWatcher&) = delete;

    // False when the mount table could not be opened; no arrival is reported then.
    bool IsWatching() const { return m_pNotifier != nullptr; }

    // Takes the mount table as it is now for known, so that a volume mounted while the program
    // was busy, and not yet seen then, is never reported later.
    void ForgetArrivals();

signals:
    // Something was mounted on a mount point that had nothing before; its drive root (mount
    // point + "/"). One signal per mount point, in path order.
    void VolumeArrived(const std::string& strRoot);

private:
    void OnMountTableChanged();
    // The roots of every mount point now; nullopt when the table could not be read.
    std::optional<std::set<std::string>> ReadRoots() const;

    int m_nFile = -1;
    QSocketNotifier* m_pNotifier = nullptr;
    std::set<std::string> m_aRoots;
};
