#include "platform/StopRequest.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// Work and dialogs all run on the window thread.
struct StopState {
    std::vector<CStopRequest*> aRequests;
    bool bRequested = false;
    int nShields = 0;
    std::chrono::steady_clock::time_point lastInput;
    bool bLettingInput = false;
};

StopState& State() {
    static StopState state;
    return state;
}

}  // namespace

CStopRequest::CStopRequest(std::function<void()> letInput) : m_letInput(std::move(letInput)) {
    State().aRequests.push_back(this);
}

CStopRequest::~CStopRequest() {
    std::vector<CStopRequest*>& aRequests = State().aRequests;
    aRequests.erase(std::remove(aRequests.begin(), aRequests.end(), this), aRequests.end());
    // The next work starts unstopped.
    if (aRequests.empty()) {
        State().bRequested = false;
    }
}

void CStopRequest::Request() {
    State().bRequested = true;
}

bool CStopRequest::IsRequested() {
    StopState& state = State();
    if (state.aRequests.empty() || state.nShields > 0) {
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    // Not again from inside the input it lets in: a window message may itself ask.
    if (!state.bRequested && !state.bLettingInput &&
        now - state.lastInput >= std::chrono::milliseconds(kInputIntervalMilliseconds)) {
        state.bLettingInput = true;
        state.lastInput = now;
        // The newest request belongs to the dialog that is up.
        CStopRequest* pRequest = state.aRequests.back();
        if (pRequest->m_letInput) {
            pRequest->m_letInput();
        }
        state.bLettingInput = false;
    }
    return state.bRequested && state.nShields == 0;
}

CStopShield::CStopShield() {
    ++State().nShields;
}

CStopShield::~CStopShield() {
    --State().nShields;
}

std::string StoppedMessage(const std::string& strFinished) {
    return strFinished.empty() ? "中止しました。" : "中止しました。\n" + strFinished;
}
