#pragma once

#include <string>
#include <vector>

#include "platform/CommandDlg.h"

class CListView;
class CUiServices;

// Number import ("番号取込"): the numbered programs "%04d.fno" that the unit leaves in its
// folder RzFilesIn. A program is taken over by saving it as a PC file, after which it is
// removed from the unit; programs can also be deleted unread. The list keeps no file: it is
// read from the folder each time the dialog opens.
class CFKanri2Dlg : public CCommandDlg {
    Q_OBJECT

public:
    explicit CFKanri2Dlg(QWidget* pParent = nullptr);
    ~CFKanri2Dlg() override;

    // Lists the waiting programs; false when the unit could not be reached (reported), and the
    // dialog is then not to be shown.
    bool OnInitDialog() override;

    void OnImport();     // 1040 "取込"
    void OnDelete();     // 1039 "消去"
    void OnDeleteAll();  // 1038 "全消去"
    // 2 "閉じる", Esc, Enter and the close box; nothing is written.
    void OnClose() override;

    CListView& FileList() const { return *m_pFileList; }

    // The numbers of the waiting programs, ascending; row i shows m_aNo[i].
    std::vector<int> m_aNo;

private:
    void BuildControls();
    CUiServices& Ui() const;
    // Gives the view one row per number and selects, focuses and shows the row.
    void ShowRows(int nRow);
    void RemoveNumberAt(int nRow);

    CListView* m_pFileList = nullptr;
};
