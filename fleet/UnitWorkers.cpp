#include "fleet/UnitWorkers.h"

#include <pthread.h>

#include <algorithm>

CUnitWorkers::CUnitWorkers(int nMaxThreads, QObject* pParent)
    : QObject(pParent), m_nMaxThreads(std::max(1, nMaxThreads)) {}

CUnitWorkers::~CUnitWorkers() {
    Stop();
}

void CUnitWorkers::Start(int nCount, std::function<void(int)> work) {
    Stop();
    m_work = std::move(work);
    m_bCancel = false;
    m_nNext = 0;
    m_nCount = nCount;
    m_nDone = 0;
    const unsigned nRound = ++m_nRound;
    const int nThreads = std::min(m_nMaxThreads, nCount);
    for (int nThread = 0; nThread < nThreads; ++nThread) {
        m_aThreads.emplace_back([this, nRound] { RunJobs(nRound); });
    }
    if (nCount <= 0) {
        emit AllDone();
    }
}

void CUnitWorkers::Stop() {
    m_bCancel = true;
    for (std::thread& thread : m_aThreads) {
        thread.join();
    }
    m_aThreads.clear();
    m_nDone = m_nCount;
}

void CUnitWorkers::RunJobs(unsigned nRound) {
    // Named so that they can be told apart in a debugger, top, and the tests.
    pthread_setname_np(pthread_self(), kThreadName);
    for (int nIndex = m_nNext++; nIndex < m_nCount && !m_bCancel; nIndex = m_nNext++) {
        m_work(nIndex);
        // Posted to this object, so that nothing is delivered once it is gone.
        QMetaObject::invokeMethod(
            this, [this, nRound, nIndex] { OnJobDone(nRound, nIndex); }, Qt::QueuedConnection);
    }
}

void CUnitWorkers::OnJobDone(unsigned nRound, int nIndex) {
    if (nRound != m_nRound || m_nDone >= m_nCount) {
        return;
    }
    ++m_nDone;
    emit JobDone(nIndex);
    // Whoever heard of the job may have stopped or started a round meanwhile.
    if (nRound == m_nRound && !m_bCancel && m_nDone == m_nCount) {
        // Every job has returned: the threads end without waiting for anything.
        for (std::thread& thread : m_aThreads) {
            thread.join();
        }
        m_aThreads.clear();
        emit AllDone();
    }
}
