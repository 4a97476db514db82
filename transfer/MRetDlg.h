#pragma once

#include "platform/Dialog.h"

#include <string>
#include <vector>

class CListView;
class QLabel;

// The result of sending several files ("登録したファイル一覧"): the success message over the
// list of the files that went into the tape. The caller owns the names.
class CMRetDlg : public CDialog {
    Q_OBJECT

public:
    explicit CMRetDlg(const std::vector<std::string>& aNames, QWidget* pParent = nullptr);

    // Shows the message and the names, the first row selected, focused and in view.
    bool OnInitDialog() override;
    // The text of a cell: the name of the row in column 0, empty anywhere else.
    std::string RowText(int nRow, int nColumn) const;

    std::string m_strMessage;
    QLabel* m_pMessage = nullptr;  // 1039
    CListView* m_pList = nullptr;  // 1038

private:
    const std::vector<std::string>& m_aNames;
};
