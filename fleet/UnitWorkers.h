#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// Work on several units at once, each job on a connection of its own: at most nMaxThreads
// jobs run at a time, on threads of this object's own. Each finished job is announced on the
// thread that owns the object (the window thread), so that the window fills in its rows as
// answers come while it stays responsive. Stop, and the destructor, end the jobs under way
// through the cancel flag their stores watch and join every thread.
class CUnitWorkers : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultMaxThreads = 8;
    static constexpr const char* kThreadName = "rzkset-unit";

    explicit CUnitWorkers(int nMaxThreads = kDefaultMaxThreads, QObject* pParent = nullptr);
    ~CUnitWorkers() override;

    // Stops what runs, then runs work(nIndex) for every nIndex below nCount. work runs on a
    // worker thread and must touch only what belongs to its index; JobDone(nIndex) follows on
    // this object's thread, then AllDone once every job is done.
    void Start(int nCount, std::function<void(int)> work);
    // Cancels the jobs under way, skips those not begun and joins the threads. No JobDone or
    // AllDone of this round arrives afterwards.
    void Stop();
    bool IsRunning() const { return m_nDone < m_nCount; }
    // The flag the jobs' stores watch (UnitStoreSettings::pCancel).
    const std::atomic<bool>* CancelFlag() const { return &m_bCancel; }
    int MaxThreads() const { return m_nMaxThreads; }

signals:
    void JobDone(int nIndex);
    void AllDone();

private:
    void RunJobs(unsigned nRound);
    void OnJobDone(unsigned nRound, int nIndex);

    int m_nMaxThreads;
    std::function<void(int)> m_work;
    std::vector<std::thread> m_aThreads;
    std::atomic<bool> m_bCancel{false};
    std::atomic<int> m_nNext{0};
    int m_nCount = 0;
    int m_nDone = 0;
    // A job announced after its round was stopped is not this round's.
    unsigned m_nRound = 0;
};
