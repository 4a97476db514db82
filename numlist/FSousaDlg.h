#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "numlist/ListDlgBase.h"
#include "platform/UiServices.h"

class QPushButton;

// File operations ("ファイル操作"): the named programs in the root of the unit store. The
// registered list is their catalogue "FileNList.fnl", in the operator's order with remarks and
// a print title; the unregistered list shows the program files of the root that the catalogue
// does not name. Commands change the files on the unit at once; the catalogue is fetched when
// the dialog opens and written back when it closes, if anything changed.
//
// A program is listed under its list name and stored under its store name: with the extension
// added automatically (ADD_DOT) the list name is the file name without its extension and the
// store name adds "." + DOT; otherwise both are the file name.
class CFSousaDlg : public CListDlgBase {
    Q_OBJECT

public:
    explicit CFSousaDlg(QWidget* pParent = nullptr);
    ~CFSousaDlg() override;

    // Lists the store root and reads the catalogue; false when the unit could not be reached or
    // the catalogue it holds could not be read (reported), and the dialog is then not to be
    // shown.
    bool OnInitDialog() override;

    // The registered list.
    void OnRegister();   // 1016 "登録": PC files into the store and the catalogue
    void OnTakeIn();     // 1023 "取込": copies to the PC
    void OnDelete();     // 1017 "消去"
    void OnDeleteAll();  // 1015 "全消去"
    void OnRemark();     // 1018 "備考"
    void OnMoveUp();     // 1019 "↑"
    void OnMoveDown();   // 1020 "↓"
    void OnPrint();      // 1021 "印刷"
    // The unregistered list.
    void OnAddUnregistered();     // 1025 "登録": into the catalogue, the files stay
    void OnMoveUnregistered();    // 1027 "取込": moves to the PC
    void OnDeleteUnregistered();  // 1024 "消去"

    // List names of the unregistered files, in ascending byte order.
    std::vector<std::string> m_aUnregistered;

    CListView& UnregisteredList() const { return *m_pUnregisteredList; }
    CListView& UnregisteredCoverList() const { return *m_pUnregisteredCoverList; }

    std::string StoreNameOf(const FILENODATA& entry) const override;

protected:
    std::string WriteBackFailureText(const std::string& strPath) const override;
    std::string WriteBackStoreFailureText(CStoreAction& action) const override;
    // The commands of the registered list give it the focus after a refused title.
    void FocusAfterRefusedTitle() override;

private:
    void BuildControls();
    void SetUpUnregisteredLists();
    std::string UnregisteredCellText(int nRow, int nColumn) const;
    std::string StoreNameOfListName(const std::string& strListName) const;
    // Lists the store root and reads the catalogue, seeding an empty one on a unit whose
    // listing shows none; the failure to report (the unit not reached, the catalogue there but
    // not read), empty when the dialog may open.
    std::string ReadStore();
    // Takes the catalogue read; on the USB memory one missing or without entries is written
    // empty.
    void TakeCatalogue(const ListFileRead& read);
    // Upper-case names of the registered entries.
    std::unordered_set<std::string> RegisteredNames() const;
    // Removes reserved and registered names from the unregistered list and shows it with row 0
    // selected and focused.
    void RebuildUnregistered();
    void RemoveUnregistered(int nRow);
    FileDialogOptions SaveDialogOptions(const std::string& strStoreName) const;

    CListView* m_pUnregisteredList = nullptr;
    CListView* m_pUnregisteredCoverList = nullptr;
};
