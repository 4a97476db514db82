#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <deque>
#include <functional>

// Plays the person at the modal dialogs that an operation opens: each step waits until a
// dialog of its class is the active modal window, then acts on it, and the act closes it. A
// dialog that no step expects fails the test and is cancelled, so a wrong path never hangs.
class CModalScript {
public:
    CModalScript() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    ~CModalScript() { EXPECT_TRUE(m_aSteps.empty()) << m_aSteps.size() << " dialogs never opened"; }
    CModalScript(const CModalScript&) = delete;
    CModalScript& operator=(const CModalScript&) = delete;

    template <class Dialog>
    void Expect(std::function<void(Dialog&)> act) {
        m_aSteps.push_back([act](QDialog& dialog) {
            auto* pDialog = qobject_cast<Dialog*>(&dialog);
            if (pDialog == nullptr) {
                return false;
            }
            act(*pDialog);
            return true;
        });
    }

private:
    void Poll() {
        auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (pDialog == nullptr || !pDialog->isVisible()) {
            return;
        }
        if (m_aSteps.empty() || !m_aSteps.front()(*pDialog)) {
            ADD_FAILURE() << "unexpected dialog " << pDialog->windowTitle().toStdString();
            pDialog->reject();
            return;
        }
        m_aSteps.pop_front();
        if (pDialog->isVisible()) {
            ADD_FAILURE() << "the step left " << pDialog->windowTitle().toStdString() << " open";
            pDialog->reject();
        }
    }

    QTimer m_timer;
    std::deque<std::function<bool(QDialog&)>> m_aSteps;
};
