#pragma once

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <functional>
#include <string>

#include "platform/Progress.h"
#include "platform/WaitDlg.h"

// Looks at the real busy dialog while work runs: the first time the progress reported meets
// the condition, keeps the text the dialog shows at that moment and saves its picture to
// the path given for a person to look at.
class CBusyDialogWatch {
public:
    CBusyDialogWatch(std::function<bool(const CProgress::State&)> when,
                     const std::string& strScreenshotPath)
        : m_when(std::move(when)),
          m_strScreenshotPath(strScreenshotPath),
          m_progress([this](const CProgress::State& state) { Look(state); }) {}

    // Empty until the condition was met with the busy dialog up.
    const std::string& ShownText() const { return m_strShownText; }

private:
    void Look(const CProgress::State& state) {
        if (!m_strShownText.empty() || !m_when(state)) {
            return;
        }
        for (QWidget* pWindow : QApplication::topLevelWidgets()) {
            auto* pDialog = qobject_cast<CWaitDlg*>(pWindow);
            if (pDialog != nullptr && pDialog->isVisible()) {
                m_strShownText = pDialog->findChild<QLabel*>()->text().toStdString();
                QDir().mkpath(QFileInfo(QString::fromStdString(m_strScreenshotPath)).path());
                pDialog->grab().save(QString::fromStdString(m_strScreenshotPath));
            }
        }
    }

    std::function<bool(const CProgress::State&)> m_when;
    std::string m_strScreenshotPath;
    std::string m_strShownText;
    CProgress m_progress;
};
