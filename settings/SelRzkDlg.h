#pragma once

#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "settings/ProfileFolder.h"

class CListView;

// Machine profile selection ("RZK選択"): the profiles in the Data folder, the choice of the
// current one, and adding, renaming and deleting profiles. The current profile can be neither
// renamed nor deleted.
class CSelRzkDlg : public CDialog {
    Q_OBJECT

public:
    explicit CSelRzkDlg(QWidget* pParent = nullptr);

    // The list with its column, filled and the current profile selected.
    bool OnInitDialog() override;
    void OnOK();      // 1: makes the selected profile current and loads it
    void OnAdd();     // 1011 "追加"
    void OnRename();  // 1012 "名称変更"
    void OnDelete();  // 1013 "削除"

    CListView& NameList() const { return *m_pList; }

    std::vector<std::string> m_aNames;  // UTF-8, as the folder holds them

private:
    // Reads the folder again and selects the last row of that name, or row 0.
    void FillList(const std::string& strSelect);
    // The selected name; nullopt when no row is selected.
    const std::string* SelectedName() const;
    // Asks for a name; empty when cancelled or left empty.
    std::string AskName();

    CProfileFolder m_folder;
    CListView* m_pList = nullptr;
};
