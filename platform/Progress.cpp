#include "platform/Progress.h"

#include <algorithm>
#include <vector>

namespace {

// Work reports to the listeners of its own thread: the busy dialog listens on the window
// thread, and transfers that run on worker threads beside it are counted by whoever runs them.
std::vector<CProgress*>& Listeners() {
    static thread_local std::vector<CProgress*> aListeners;
    return aListeners;
}

CProgress::State& CurrentState() {
    static thread_local CProgress::State state;
    return state;
}

}  // namespace

CProgress::CProgress(Listener listener) : m_listener(std::move(listener)) {
    Listeners().push_back(this);
}

CProgress::~CProgress() {
    std::vector<CProgress*>& aListeners = Listeners();
    aListeners.erase(std::remove(aListeners.begin(), aListeners.end(), this), aListeners.end());
    // The next work starts from nothing, not from where this one stopped.
    if (aListeners.empty()) {
        CurrentState() = State();
    }
}

void CProgress::StartFile(const std::string& strFileName, int nFilesDone, int nFilesTotal,
                          const std::string& strCountUnit) {
    if (Listeners().empty()) {
        return;
    }
    CurrentState() = {strFileName, nFilesDone, nFilesTotal, 0, 0, strCountUnit};
    Notify();
}

void CProgress::TransferBytes(std::uint64_t nBytesDone, std::uint64_t nBytesTotal) {
    if (Listeners().empty()) {
        return;
    }
    State& state = CurrentState();
    if (state.nBytesDone == nBytesDone && state.nBytesTotal == nBytesTotal) {
        return;
    }
    state.nBytesDone = nBytesDone;
    state.nBytesTotal = nBytesTotal;
    Notify();
}

void CProgress::Notify() {
    const State& state = CurrentState();
    // By index: a listener may start another one while it is told.
    for (size_t nIndex = 0; nIndex < Listeners().size(); ++nIndex) {
        Listeners()[nIndex]->m_listener(state);
    }
}
