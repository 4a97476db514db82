#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "numlist/FileNo.h"
#include "numlist/ListPrinter.h"
#include "numlist/UnitListFile.h"
#include "platform/CommandDlg.h"
#include "platform/ListView.h"
#include "unitstore/UnitStore.h"

class CCommandFrame;
class CStoreAction;
class CUiServices;
class QLineEdit;
class QPushButton;

// A column of an entry list: its header and the sample text whose width it gets.
struct ListColumn {
    std::string strHeader;
    std::string strWidthSample;
};

// What a deletion of every matching file in the list's folder did.
struct StoreClearing {
    // The folder was listed; without a listing nothing was deleted.
    bool bListed = false;
    int nDeleted = 0;
    bool bFailed = false;
    // Upper-case names of the listed files still on the unit: their deletion failed, or the
    // connection was lost before it.
    std::set<std::string> aRemaining;
    // The store's own failure text (connection lost, folder refused); empty when none.
    std::string strStoreFailure;
};

// What the two program list dialogs (number registration, file operations) share: the list
// being edited with its print title, the entry list view with its blank row and its cover
// list, the title box, the closing paths with the write-back of the list file, and the
// commands that work the same on both lists (move up, move down, remark, delete the selected
// entries, the deletion of every file of the folder).
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
    // TakeFieldValues at the start of a command; a refusal ends in FocusAfterRefusedTitle.
    bool TakeCommandFieldValues();
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
    // Deletes the selected entries from the top, each after its program file. Stops at the
    // first file that cannot be deleted ("消去に失敗しました。"), keeping its entry.
    void DeleteSelectedCommand(QPushButton& button);
    // Takes the title box and prints the list under it as the sheet of the variant.
    void PrintCommand(QPushButton& button, PrintVariant variant);

    // The PC program files to register: those dropped on the entry list when the command came
    // from a drop, else the operator's choice in the file dialog.
    std::vector<std::string> ChooseProgramFiles();
    // Files dropped on the entry list run the command as if chosen in its file dialog.
    void RegisterDroppedFilesWith(const std::function<void()>& command);

    // The store file of an entry, in the list's folder.
    virtual std::string StoreNameOf(const FILENODATA& entry) const = 0;

    // 2 "閉じる", Esc, Enter and the close box: writes the list back when it changed. A list
    // that could not be written back is reported and the dialog stays open with the edits, so
    // that closing again retries; a second failure in a row is reported and closes it.
    void OnClose() override;

protected:
    CListDlgBase(QWidget* pParent, ListFileLocation location);

    bool IsNetwork() const;
    // The copy of the list file on the PC while it travels over the network.
    std::string LocalListPath() const;
    // The list file on the USB memory, read and written in place.
    std::string UsbListPath() const;
    static void RemoveLocalFile(const std::string& strPath);
    // With the store in the list's folder, reads the list file into m_fileNo. The list is new
    // only when the folder's listing shows no file of its name: a file that is there but
    // cannot be read (refused by the unit, the PC's disk full, an unreadable file on the
    // memory) is a failure, never an empty list that closing would write over it. Without a
    // listing the file is taken to be there.
    ListFileRead ReadListFile(CUnitStore& store,
                              const std::optional<std::vector<StoreEntry>>& listing);

    // Where the keyboard focus goes when a command refused the title box: it stays in the box.
    virtual void FocusAfterRefusedTitle();

    // The message of a list file that could not be saved or uploaded to strPath.
    virtual std::string WriteBackFailureText(const std::string& strPath) const = 0;
    // The message of a write-back whose store action failed: the store's own text by default.
    virtual std::string WriteBackStoreFailureText(CStoreAction& action) const;

    // Deletes every file of the list's folder that matches the pattern, except folders and
    // the file strSpared (compared ignoring case), letting messages run between files.
    StoreClearing DeleteAllFiles(const std::string& strPattern, const std::string& strSpared);
    // Deletes the files of selected rows, one connection for all, from the top until nextRow
    // finds none (-1); removeRow takes a deleted row out of the data and the view. Stops at
    // the first file that cannot be deleted, with "消去に失敗しました。" in the frame.
    void DeleteFilesOfRows(CCommandFrame& frame, const std::function<int()>& nextRow,
                           const std::function<std::string(int)>& storeNameOfRow,
                           const std::function<void(int)>& removeRow);
    // Keeps only the entries whose program files are among the upper-case names given.
    void KeepEntriesWithFiles(const std::set<std::string>& aRemainingFiles);
    // Names the list, as kept in the history now, on the journal lines of the deletions that
    // follow in the command.
    void NameListOnDeletions() const;

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
    // Saves and uploads the list; the message of a failure, "" on success.
    std::string WriteBackList();

    ListFileLocation m_location;
    bool m_bWriteBackFailed = false;
    QLineEdit* m_pTitleEdit = nullptr;
    CListView* m_pFileList = nullptr;
    CListView* m_pCoverList = nullptr;
    std::vector<std::string> m_aDroppedFiles;
};
