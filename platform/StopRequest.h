#pragma once

#include <functional>
#include <string>

// The operator's request to stop the work under way, made at the busy dialog. Work that moves
// bytes asks at each step (a buffer of a copy, a transfer callback, a file of many) and, when
// asked to stop, ends that step cleanly: nothing half-written stays, and what was finished
// stays finished. A stop is neither a success nor a failure of the unit or of the PC.
// The work and the dialog share the window thread: the work lets the dialog see its input
// whenever it asks. Workers on other threads (the fleet view's) only read the request.
class CStopRequest {
public:
    // While the object lives the work can be stopped. letInput runs the window messages so
    // that the dialog's button and key can be pressed; it is called at most every
    // kInputIntervalMilliseconds from IsRequested.
    explicit CStopRequest(std::function<void()> letInput);
    ~CStopRequest();
    CStopRequest(const CStopRequest&) = delete;
    CStopRequest& operator=(const CStopRequest&) = delete;

    // The operator asked to stop; holds until the last object goes.
    void Request();

    // Whether the work is to stop. Lets the operator's input in first when it was not let in
    // for a while. False when nobody can stop the work.
    static bool IsRequested();

    static constexpr int kInputIntervalMilliseconds = 50;

    // Runs the window messages, for IsRequested.
    void LetInput() const;

private:
    std::function<void()> m_letInput;
};

// Clean-up after a stop (deleting a temporary file on the unit) must run to its end: while
// an object lives, IsRequested answers false on its thread.
class CStopShield {
public:
    CStopShield();
    ~CStopShield();
    CStopShield(const CStopShield&) = delete;
    CStopShield& operator=(const CStopShield&) = delete;
};

// The end message of stopped work: "中止しました。", then on the next line what was finished
// before the stop (UTF-8, none when empty), so that the operator knows what is in place.
std::string StoppedMessage(const std::string& strFinished = {});
