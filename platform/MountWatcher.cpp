#include "platform/MountWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <utility>

#include "platform/MountInfo.h"

CMountWatcher::CMountWatcher(const std::string& strProcRoot, QObject* pParent) : QObject(pParent) {
    std::string strPath = strProcRoot + "/self/mountinfo";
    m_nFile = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_nFile < 0) {
        return;
    }
    m_aRoots = ReadRoots().value_or(std::set<std::string>());
    m_pNotifier = new QSocketNotifier(m_nFile, QSocketNotifier::Exception, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CMountWatcher::OnMountTableChanged);
}

CMountWatcher::~CMountWatcher() {
    delete m_pNotifier;
    if (m_nFile >= 0) {
        ::close(m_nFile);
    }
}

void CMountWatcher::ForgetArrivals() {
    if (std::optional<std::set<std::string>> aRoots = ReadRoots()) {
        m_aRoots = *aRoots;
    }
}

void CMountWatcher::OnMountTableChanged() {
    std::optional<std::set<std::string>> aRoots = ReadRoots();
    if (!aRoots) {
        return;
    }
    // The new reading is in place before any receiver runs: a receiver that asks a question
    // runs a nested event loop, in which the next change is compared with this reading.
    std::set<std::string> aPrevious = std::exchange(m_aRoots, *aRoots);
    for (const std::string& strRoot : *aRoots) {
        if (!aPrevious.contains(strRoot)) {
            emit VolumeArrived(strRoot);
        }
    }
}

// The table is read through the watched descriptor from its start to its end each time: the
// kernel builds it anew for every reading.
std::optional<std::set<std::string>> CMountWatcher::ReadRoots() const {
    if (::lseek(m_nFile, 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    std::string strText;
    char buffer[4096];
    for (;;) {
        ssize_t nRead = ::read(m_nFile, buffer, sizeof buffer);
        if (nRead > 0) {
            strText.append(buffer, static_cast<size_t>(nRead));
        } else if (nRead == 0) {
            break;
        } else if (errno != EINTR) {
            return std::nullopt;
        }
    }
    std::set<std::string> aRoots;
    for (const MountEntry& entry : ParseMountInfo(strText)) {
        aRoots.insert(RootOfMountPoint(entry.strMountPoint));
    }
    return aRoots;
}
