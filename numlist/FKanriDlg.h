#pragma once

#include <string>

#include "numlist/ListDlgBase.h"

class QPushButton;

// Number registration ("番号登録"): the numbered programs "%04d.fno" in the unit's RzFilesOut
// folder and their list "FileList.fno". Registering and deleting change the programs on the
// unit at once; the list is fetched when the dialog opens and written back when it closes,
// if anything changed.
class CFKanriDlg : public CListDlgBase {
    Q_OBJECT

public:
    explicit CFKanriDlg(QWidget* pParent = nullptr);
    ~CFKanriDlg() override;

    // Fetches and shows the list; false when the unit could not be reached (reported), and
    // the dialog is then not to be shown.
    bool OnInitDialog() override;

    void OnRegister();   // 1033 "登録"
    void OnDelete();     // 1031 "消去"
    void OnDeleteAll();  // 1032 "全消去"
    void OnRemark();     // 1030 "備考"
    void OnMoveUp();     // 1036 "↑"
    void OnMoveDown();   // 1037 "↓"
    void OnPrint();      // 1035 "印刷"

    std::string StoreNameOf(const FILENODATA& entry) const override;

protected:
    std::string WriteBackFailureText(const std::string& strPath) const override;

private:
    void BuildControls();
    std::string CellText(int nRow, int nColumn) const;
};
