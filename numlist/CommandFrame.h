#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "journal/JournalScope.h"

class CBusyIndicator;
class CCommandDlg;
class CListView;
class QPushButton;

// The frame every list command runs in. Starting it disables the command's button and greys
// the dialog's Close; on request it puts cover lists in place of the lists the command changes
// and shows the busy dialog. Ending it (End, or leaving the scope) closes the busy dialog,
// restores Close, shows the lists again, enables the button, shows the message if one was
// set, and gives the keyboard focus to the list the command worked on, in that order.
class CCommandFrame {
public:
    CCommandFrame(CCommandDlg& dialog, QPushButton& button, CListView& focusList);
    ~CCommandFrame();
    CCommandFrame(const CCommandFrame&) = delete;
    CCommandFrame& operator=(const CCommandFrame&) = delete;

    // Hides the list and shows its cover list in its place until the frame ends.
    void Cover(CListView& list, CListView& coverList);
    void ShowBusy();
    // The busy dialog of a command that moves bytes, with its "中止" button.
    void ShowStoppableBusy();
    void CloseBusy();

    // The first message set is the one shown; failures get the warning icon.
    void SetMessage(std::string strText, bool bWarning = true);
    bool HasMessage() const { return !m_strMessage.empty(); }
    const std::string& Message() const { return m_strMessage; }

    void End();

private:
    CCommandDlg& m_dialog;
    QPushButton& m_button;
    CListView& m_focusList;
    std::vector<std::pair<CListView*, CListView*>> m_aCovered;
    std::unique_ptr<CBusyIndicator> m_pBusy;
    std::string m_strMessage;
    bool m_bWarning = true;
    bool m_bEnded = false;
    CJournalScope m_journalScope;  // the command's name on its journal lines
};
