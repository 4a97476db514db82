#pragma once

#include <gtest/gtest.h>
#include <QDialog>

#include <functional>
#include <optional>

#include "platform/Dialog.h"
#include "tests/fakes/FakeUiServices.h"

// Scripts the person at the next dialog the program runs, which must be of class Dialog: it
// opens as exec() opens it (OnInitDialog, which may end it at once, then shown), act plays the
// person (typing, OK, cancel), and the dialog's result is what its buttons left. Act must
// close the dialog, as the person would; one left open fails the test and is cancelled.
template <class Dialog>
void ExpectDialog(CFakeUiServices& ui, std::function<void(Dialog&)> act) {
    ui.AnswerModal([act = std::move(act)](CDialog& dialog) -> std::optional<int> {
        auto* pDialog = dynamic_cast<Dialog*>(&dialog);
        if (pDialog == nullptr) {
            return std::nullopt;
        }
        pDialog->setResult(QDialog::Rejected);
        if (!pDialog->OnInitDialog()) {
            return QDialog::Rejected;
        }
        pDialog->show();
        act(*pDialog);
        if (pDialog->isVisible()) {
            ADD_FAILURE() << "the script left " << pDialog->windowTitle().toStdString() << " open";
            pDialog->hide();
            return QDialog::Rejected;
        }
        return pDialog->result();
    });
}
