#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs act on the next visible modal dialog of the given class once it is open: the person at
// a framework dialog (file, print, message box) that the program shows with exec().
template <class Dialog>
void WhenOpen(const std::function<void(Dialog&)>& act) {
    auto* pTimer = new QTimer;
    QObject::connect(pTimer, &QTimer::timeout, [pTimer, act] {
        auto* pDialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (pDialog != nullptr && pDialog->isVisible()) {
            pTimer->stop();
            pTimer->deleteLater();
            act(*pDialog);
        }
    });
    pTimer->start(10);
}
