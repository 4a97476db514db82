#pragma once

#include <functional>
#include <string>
#include <vector>

#include "numlist/FileNo.h"
#include "platform/CommandDlg.h"
#include "platform/ListView.h"

class CUiServices;
class QLineEdit;
class QPushButton;

// A column of an entry list: its header and the sample text whose width it gets.
struct ListColumn {
    std::string strHeader;
    std::string strWidthSample;
};

// What the two program list dialogs (number registration, file operations) share: the list
// being edited with its print title, the entry list view with its blank row and its cover
// list, the title box, and the commands that work the same on both lists (move up, move down,
// remark, delete the selected entries).
//
// The entry list shows the m_nCount entries followed by one blank row, the insertion point at
// the end; the blank row is never an entry, and every command on selected rows ignores it.
// Strings are code page 932 bytes.
class CListDlgBase : public CCommandDlg {
    Q_OBJECT

public:
    ~CListDlgBase() override;

    CFileNo m_fileNo;
    int m_nCount = 0;
    // The list must be written back when the dialog closes.
    bool m_bModified = false;
    // The title box as last taken.
    std::string m_strTitleEdit;

    QLineEdit& TitleEdit() const { return *m_pTitleEdit; }
    CListView& FileList() const { return *m_pFileList; }
    CListView& CoverList() const { return *m_pCoverList; }
    CUiServices& Ui() const;

    // Takes the title box into m_strTitleEdit; false, with the framework's prompt shown and
    // the box focused, when it holds more than 60 bytes or a character without a code page
    // 932 form.
    bool TakeFieldValues();
    // Puts m_strTitleEdit into the title box.
    void PutFieldValues();

    int BlankRow() const { return m_nCount; }
    // The first selected row when it is an entry; -1 when nothing or the blank row comes first.
    int FirstSelectedEntry() const;
    // Takes m_nCount from the list, gives the view the entries and the blank row, and
    // selects, focuses and shows the row.
    void ShowEntryRows(int nRow);

    // Shared commands, each run in the command frame with its button.
    // A block of selected entries moves up one place; nothing moves when the first entry is
    // selected. A selected blank row is deselected.
    void MoveUpCommand(QPushButton& button);
    // A block of selected entries moves down one place; nothing moves when the last entry is
    // selected.
    void MoveDownCommand(QPushButton& button);
    // Asks for a remark (starting from the first selected entry's) and gives it to every
    // selected entry, clearing their selection.
    void RemarkCommand(QPushButton& button);
    // Deletes the selected entries from the top, each after its program file: strFolder is
    // the store folder of the files, storeNameOf names an entry's file there. Stops at the
    // first file that cannot be deleted ("消去に失敗しました。"), keeping its entry.
    void DeleteSelectedCommand(QPushButton& button, const std::string& strFolder,
                               const std::function<std::string(const FILENODATA&)>& storeNameOf);

protected:
    explicit CListDlgBase(QWidget* pParent);

    // Each dialog builds its own controls and hands these to the base.
    void AttachControls(QLineEdit& titleEdit, CListView& fileList, CListView& coverList);
    // Font, columns and rows of the entry list and its cover list: m_nCount from the list,
    // the blank row selected and focused, the cover list with as many empty rows and hidden.
    void SetUpFileLists(const QFont& font, const std::vector<ListColumn>& aColumns,
                        CListView::CellTextSource cellText);
    // The shared cell texts of columns 1 and 2 (name, remark) of an entry row, for display.
    std::string EntryCellText(int nRow, int nColumn) const;

private:
    void SwapEntries(int nUpper);

    QLineEdit* m_pTitleEdit = nullptr;
    CListView* m_pFileList = nullptr;
    CListView* m_pCoverList = nullptr;
};
