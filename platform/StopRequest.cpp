#include "platform/StopRequest.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// The busy dialog and the work it shows run on the window thread; the fleet view's workers
// only read whether a stop was asked for.
struct StopState {
    std::vector<CStopRequest*> aRequests;  // window thread only
    std::atomic<bool> bActive{false};      // a request lives
    std::atomic<bool> bRequested{false};
    std::atomic<std::thread::id> windowThread;
    std::chrono::steady_clock::time_point lastInput;  // window thread only
    bool bLettingInput = false;                       // window thread only
};

StopState& State() {
    static StopState state;
    return state;
}

// A shield guards the clean-up of the thread that holds it.
thread_local int tl_nShields = 0;

// The operator's input is let in on the thread of the dialog only.
void LetInputIfDue(StopState& state) {
    const auto now = std::chrono::steady_clock::now();
    // Not again from inside the input it lets in: a window message may itself ask.
    if (state.bRequested || state.bLettingInput ||
        now - state.lastInput <
            std::chrono::milliseconds(CStopRequest::kInputIntervalMilliseconds)) {
        return;
    }
    state.bLettingInput = true;
    state.lastInput = now;
    // The newest request belongs to the dialog that is up.
    if (!state.aRequests.empty()) {
        state.aRequests.back()->LetInput();
    }
    state.bLettingInput = false;
}

}  // namespace

CStopRequest::CStopRequest(std::function<void()> letInput) : m_letInput(std::move(letInput)) {
    StopState& state = State();
    state.windowThread = std::this_thread::get_id();
    state.aRequests.push_back(this);
    state.bActive = true;
}

CStopRequest::~CStopRequest() {
    StopState& state = State();
    std::erase(state.aRequests, this);
    // The next work starts unstopped.
    if (state.aRequests.empty()) {
        state.bActive = false;
        state.bRequested = false;
    }
}

void CStopRequest::Request() {
    State().bRequested = true;
}

void CStopRequest::LetInput() const {
    if (m_letInput) {
        m_letInput();
    }
}

bool CStopRequest::IsRequested() {
    StopState& state = State();
    if (!state.bActive || tl_nShields > 0) {
        return false;
    }
    if (std::this_thread::get_id() == state.windowThread.load()) {
        LetInputIfDue(state);
    }
    return state.bRequested && tl_nShields == 0;
}

CStopShield::CStopShield() {
    ++tl_nShields;
}

CStopShield::~CStopShield() {
    --tl_nShields;
}

std::string StoppedMessage(const std::string& strFinished) {
    return strFinished.empty() ? "中止しました。" : "中止しました。\n" + strFinished;
}
