#pragma once

#include <string>

#include "platform/CommandDlg.h"

class QPlainTextEdit;

// Maintenance ("保守"): the report made from the maintenance files the unit leaves in its
// folder "images" (identity, RS-232C and network settings, number and name requests), and the
// deletion of those files.
class CHosyuDlg : public CCommandDlg {
    Q_OBJECT

public:
    explicit CHosyuDlg(QWidget* pParent = nullptr);
    ~CHosyuDlg() override;

    // Makes and shows the report; the dialog always opens, a unit that cannot be reached
    // being told in the report itself.
    bool OnInitDialog() override;
    // 1041 "保守情報削除": deletes the files on the unit after asking, and shows the report
    // again.
    void OnDeleteMaintenance();
    // 2 "閉じる", Esc, Enter and the close box.
    void OnClose() override;

    QPlainTextEdit& ReportEdit() const { return *m_pReportEdit; }
    // The report shown, UTF-8 with CR LF line ends.
    std::string m_strReport;

private:
    void ShowReport();

    QPlainTextEdit* m_pReportEdit = nullptr;
};
