#pragma once

#include <QApplication>
#include <QPushButton>
#include <functional>

#include "platform/Progress.h"
#include "platform/WaitDlg.h"

// The operator at the busy dialog: the first time the progress reported meets the condition,
// presses the "中止" button of the busy dialog that is up. The press comes from the progress
// report, so that it falls at the same point of the work on every run.
class CStopPress {
public:
    explicit CStopPress(std::function<bool(const CProgress::State&)> when)
        : m_when(std::move(when)),
          m_progress([this](const CProgress::State& state) { Look(state); }) {}

    bool Pressed() const { return m_bPressed; }
    // The progress at the press.
    const CProgress::State& PressedAt() const { return m_pressedAt; }

private:
    void Look(const CProgress::State& state) {
        if (m_bPressed || !m_when(state)) {
            return;
        }
        for (QWidget* pWindow : QApplication::topLevelWidgets()) {
            auto* pDialog = qobject_cast<CWaitDlg*>(pWindow);
            if (pDialog != nullptr && pDialog->isVisible() && pDialog->StopButton() != nullptr) {
                pDialog->StopButton()->click();
                m_bPressed = true;
                m_pressedAt = state;
            }
        }
    }

    std::function<bool(const CProgress::State&)> m_when;
    CProgress m_progress;
    bool m_bPressed = false;
    CProgress::State m_pressedAt;
};
