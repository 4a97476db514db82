#include "numlist/CommandFrame.h"

#include <QPushButton>

#include "app/RZKSETApp.h"
#include "platform/CommandDlg.h"
#include "platform/ListView.h"
#include "platform/UiServices.h"

CCommandFrame::CCommandFrame(CCommandDlg& dialog, QPushButton& button, CListView& focusList)
    : m_dialog(dialog),
      m_button(button),
      m_focusList(focusList),
      m_journalScope(button.text().toStdString()) {
    m_button.setEnabled(false);
    m_dialog.EnableClose(false);
}

CCommandFrame::~CCommandFrame() {
    End();
}

void CCommandFrame::Cover(CListView& list, CListView& coverList) {
    list.hide();
    coverList.show();
    m_aCovered.emplace_back(&list, &coverList);
}

void CCommandFrame::ShowBusy() {
    m_pBusy = GetApp().Ui().ShowBusy();
}

void CCommandFrame::ShowStoppableBusy() {
    m_pBusy = GetApp().Ui().ShowStoppableBusy();
}

void CCommandFrame::CloseBusy() {
    if (m_pBusy) {
        m_pBusy->Close();
        m_pBusy.reset();
    }
}

void CCommandFrame::SetMessage(std::string strText, bool bWarning) {
    if (m_strMessage.empty()) {
        m_strMessage = std::move(strText);
        m_bWarning = bWarning;
    }
}

void CCommandFrame::End() {
    if (m_bEnded) {
        return;
    }
    m_bEnded = true;
    CloseBusy();
    m_dialog.EnableClose(true);
    for (auto [pList, pCoverList] : m_aCovered) {
        pList->show();
        pCoverList->hide();
    }
    m_button.setEnabled(true);
    if (HasMessage()) {
        if (m_bWarning) {
            GetApp().Ui().WarningBox(m_strMessage);
        } else {
            GetApp().Ui().MessageBox(m_strMessage);
        }
    }
    m_focusList.setFocus();
}
