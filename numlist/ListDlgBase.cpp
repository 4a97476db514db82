#include "numlist/ListDlgBase.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>

#include "app/RZKSETApp.h"
#include "journal/JournalScope.h"
#include "numlist/BikouDlg.h"
#include "numlist/CommandFrame.h"
#include "numlist/NamedProgram.h"
#include "numlist/Registration.h"
#include "platform/FieldValidation.h"
#include "platform/FileDropTarget.h"
#include "platform/FilePattern.h"
#include "platform/LocalFailure.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "unitstore/StoreAction.h"

namespace {

constexpr size_t kTitleBytes = 60;

}  // namespace

CListDlgBase::CListDlgBase(QWidget* pParent, ListFileLocation location)
    : CCommandDlg(pParent), m_location(std::move(location)) {}

CListDlgBase::~CListDlgBase() = default;

CUiServices& CListDlgBase::Ui() const {
    return GetApp().Ui();
}

bool CListDlgBase::IsNetwork() const {
    return GetApp().Sousa == 1;
}

std::string CListDlgBase::LocalListPath() const {
    return ::LocalListPath(m_location);
}

std::string CListDlgBase::UsbListPath() const {
    return ::UsbListPath(m_location);
}

void CListDlgBase::RemoveLocalFile(const std::string& strPath) {
    std::error_code error;
    std::filesystem::remove(strPath, error);
}

ListFileRead CListDlgBase::ReadListFile(CUnitStore& store,
                                        const std::optional<std::vector<StoreEntry>>& listing) {
    return ::ReadListFile(store, listing, m_location, m_fileNo);
}

void CListDlgBase::AttachControls(QLineEdit& titleEdit, CListView& fileList, CListView& coverList) {
    m_pTitleEdit = &titleEdit;
    m_pFileList = &fileList;
    m_pCoverList = &coverList;
    LimitFieldBytes(titleEdit, kTitleBytes);
}

bool CListDlgBase::TakeFieldValues() {
    return TakeTextField(*m_pTitleEdit, kTitleBytes, m_strTitleEdit, Ui());
}

bool CListDlgBase::TakeCommandFieldValues() {
    if (TakeFieldValues()) {
        return true;
    }
    FocusAfterRefusedTitle();
    return false;
}

void CListDlgBase::FocusAfterRefusedTitle() {}

void CListDlgBase::PutFieldValues() {
    m_pTitleEdit->setText(QString::fromStdString(Cp932ToDisplay(m_strTitleEdit)));
}

void CListDlgBase::SetUpFileLists(const QFont& font, const std::vector<ListColumn>& aColumns,
                                  CListView::CellTextSource cellText) {
    m_nCount = static_cast<int>(m_fileNo.m_aData.size());
    for (CListView* pList : {m_pFileList, m_pCoverList}) {
        pList->setFont(font);
        for (const ListColumn& column : aColumns) {
            pList->AddColumn(column.strHeader, column.strWidthSample);
        }
        pList->SetItemCount(m_nCount + 1);
    }
    m_pFileList->SetCellTextSource(std::move(cellText));
    m_pFileList->SelectFocusAndShow(BlankRow());
    m_pCoverList->hide();
    m_pFileList->show();
}

std::string CListDlgBase::EntryCellText(int nRow, int nColumn) const {
    if (nRow < 0 || nRow >= m_nCount || static_cast<size_t>(nRow) >= m_fileNo.m_aData.size()) {
        return {};
    }
    const FILENODATA& entry = m_fileNo.m_aData[static_cast<size_t>(nRow)];
    switch (nColumn) {
        case 1:
            return Cp932ToDisplay(entry.strName);
        case 2:
            return Cp932ToDisplay(entry.strEct);
        default:
            return {};
    }
}

int CListDlgBase::FirstSelectedEntry() const {
    int nRow = m_pFileList->GetNextSelected(-1);
    return nRow >= 0 && nRow < BlankRow() ? nRow : -1;
}

void CListDlgBase::ShowEntryRows(int nRow) {
    m_nCount = static_cast<int>(m_fileNo.m_aData.size());
    m_pFileList->SetItemCount(m_nCount + 1);
    m_pFileList->SelectFocusAndShow(nRow);
}

void CListDlgBase::SwapEntries(int nUpper) {
    auto& aData = m_fileNo.m_aData;
    std::swap(aData[static_cast<size_t>(nUpper)], aData[static_cast<size_t>(nUpper) + 1]);
    m_pFileList->RedrawRow(nUpper);
    m_pFileList->RedrawRow(nUpper + 1);
    m_bModified = true;
}

void CListDlgBase::MoveUpCommand(QPushButton& button) {
    if (!TakeCommandFieldValues()) {
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    frame.Cover(*m_pFileList, *m_pCoverList);
    // Each search starts after the row just moved from, so a block moves as a whole; finding
    // row 0 means the block already stands at the top and nothing may move.
    for (int nRow = m_pFileList->GetNextSelected(-1); nRow > 0;
         nRow = m_pFileList->GetNextSelected(nRow)) {
        if (nRow >= BlankRow()) {
            m_pFileList->SetSelected(nRow, false);
            continue;
        }
        SwapEntries(nRow - 1);
        m_pFileList->SetSelected(nRow - 1, true);
        m_pFileList->SetFocused(nRow - 1);
        m_pFileList->SetSelected(nRow, false);
        m_pFileList->EnsureVisible(nRow - 1);
    }
    frame.End();
}

void CListDlgBase::MoveDownCommand(QPushButton& button) {
    if (!TakeCommandFieldValues()) {
        return;
    }
    int nLastEntry = m_pFileList->GetItemCount() - 2;
    if (m_pFileList->IsSelected(nLastEntry)) {
        m_pFileList->setFocus();
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    frame.Cover(*m_pFileList, *m_pCoverList);
    for (int nRow = nLastEntry; nRow >= 0; --nRow) {
        if (!m_pFileList->IsSelected(nRow)) {
            continue;
        }
        SwapEntries(nRow);
        m_pFileList->SetSelected(nRow + 1, true);
        m_pFileList->SetFocused(nRow + 1);
        m_pFileList->SetSelected(nRow, false);
        m_pFileList->EnsureVisible(nRow + 1);
    }
    frame.End();
}

void CListDlgBase::RemarkCommand(QPushButton& button) {
    if (!TakeCommandFieldValues()) {
        return;
    }
    int nFirst = FirstSelectedEntry();
    if (nFirst < 0) {
        m_pFileList->setFocus();
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    CBikouDlg remarkDlg(m_fileNo.m_aData[static_cast<size_t>(nFirst)].strEct, this);
    if (Ui().RunModal(remarkDlg) == QDialog::Accepted) {
        m_bModified = true;
        for (int nRow = FirstSelectedEntry(); nRow >= 0; nRow = FirstSelectedEntry()) {
            m_fileNo.m_aData[static_cast<size_t>(nRow)].strEct = remarkDlg.m_strBikou;
            m_pFileList->RedrawRow(nRow);
            m_pFileList->SetSelected(nRow, false);
        }
    }
    frame.End();
}

void CListDlgBase::DeleteSelectedCommand(QPushButton& button) {
    if (!TakeCommandFieldValues()) {
        return;
    }
    if (FirstSelectedEntry() < 0) {
        m_pFileList->setFocus();
        return;
    }
    CCommandFrame frame(*this, button, *m_pFileList);
    frame.Cover(*m_pFileList, *m_pCoverList);
    frame.ShowBusy();
    DeleteFilesOfRows(
        frame,
        [this] {
            int nRow = FirstSelectedEntry();
            m_bModified = m_bModified || nRow >= 0;
            return nRow;
        },
        [this](int nRow) { return StoreNameOf(m_fileNo.m_aData[static_cast<size_t>(nRow)]); },
        [this](int nRow) {
            m_fileNo.m_aData.erase(m_fileNo.m_aData.begin() + nRow);
            --m_nCount;
            m_pFileList->DeleteRow(nRow);
        });
    frame.End();
}

void CListDlgBase::DeleteFilesOfRows(CCommandFrame& frame, const std::function<int()>& nextRow,
                                     const std::function<std::string(int)>& storeNameOfRow,
                                     const std::function<void(int)>& removeRow) {
    NameListOnDeletions();
    CStoreAction action(GetApp().StoreSettings(), m_location.strFolder);
    std::string strFailure;
    while (action.IsOpen()) {
        Ui().PumpMessages();
        int nRow = nextRow();
        if (nRow < 0) {
            break;
        }
        if (!action.Store().Remove(storeNameOfRow(nRow))) {
            strFailure = "消去に失敗しました。";
            break;
        }
        removeRow(nRow);
    }
    frame.SetMessage(action.Message(strFailure));
    action.Close();
}

void CListDlgBase::PrintCommand(QPushButton& button, PrintVariant variant) {
    if (!TakeCommandFieldValues()) {
        return;
    }
    button.setEnabled(false);
    PrintFileList(Ui(), m_fileNo, m_strTitleEdit, variant);
    button.setEnabled(true);
}

StoreClearing CListDlgBase::DeleteAllFiles(const std::string& strPattern,
                                           const std::string& strSpared) {
    StoreClearing clearing;
    NameListOnDeletions();
    CStoreAction action(GetApp().StoreSettings(), m_location.strFolder);
    std::optional<std::vector<StoreEntry>> found;
    if (action.IsOpen()) {
        found = action.Store().FindFiles(strPattern);
    }
    clearing.bListed = found.has_value();
    std::vector<std::string> aNames;
    for (const StoreEntry& entry : found.value_or(std::vector<StoreEntry>())) {
        if (!entry.bFolder && !EqualsIgnoringCase(entry.strName, strSpared)) {
            aNames.push_back(entry.strName);
        }
    }
    action.Store().RemoveEach(aNames, [&](const std::string& strName, bool bRemoved) {
        Ui().PumpMessages();
        if (bRemoved) {
            ++clearing.nDeleted;
        } else {
            clearing.bFailed = true;
            clearing.aRemaining.insert(MakeUpper(strName));
        }
        return true;
    });
    clearing.strStoreFailure = action.StoreFailureText();
    action.Close();
    return clearing;
}

// The list as the dialog holds it, with the entries registered since it opened: the kept list
// versions of the unit know only what was written back.
void CListDlgBase::NameListOnDeletions() const {
    if (CShopMemory* pMemory = CShopMemory::Current()) {
        CJournalScope::SetList(pMemory->KeepList(m_fileNo.ToText()));
    }
}

void CListDlgBase::KeepEntriesWithFiles(const std::set<std::string>& aRemainingFiles) {
    std::erase_if(m_fileNo.m_aData, [this, &aRemainingFiles](const FILENODATA& entry) {
        return !aRemainingFiles.contains(MakeUpper(StoreNameOf(entry)));
    });
}

std::string CListDlgBase::WriteBackStoreFailureText(CStoreAction& action) const {
    return action.StoreFailureText();
}

std::string CListDlgBase::WriteBackList() {
    return WriteBackListFile(
        m_location, m_fileNo,
        [this](const std::string& strPath) { return WriteBackFailureText(strPath); },
        [this](CStoreAction& action) { return WriteBackStoreFailureText(action); });
}

void CListDlgBase::OnClose() {
    if (!TakeFieldValues()) {
        return;
    }
    if (!m_bModified && m_strTitleEdit == m_fileNo.m_strTitle) {
        done(QDialog::Accepted);
        return;
    }
    m_fileNo.m_strTitle = m_strTitleEdit;
    auto pBusy = Ui().ShowBusy();
    std::string strMessage = WriteBackList();
    pBusy->Close();
    if (!strMessage.empty()) {
        Ui().WarningBox(strMessage);
        if (!m_bWriteBackFailed) {
            // The unit's list no longer matches the edits: keep them, and write on the next try.
            m_bWriteBackFailed = true;
            m_bModified = true;
            return;
        }
    }
    done(QDialog::Accepted);
}

std::vector<std::string> CListDlgBase::ChooseProgramFiles() {
    if (!m_aDroppedFiles.empty()) {
        return m_aDroppedFiles;
    }
    const CRZKSETApp& app = GetApp();
    return Ui().OpenFiles(
        ProgramFileDialogOptions(app.SetData.ADD_DOT, app.SetData.DOT, app.NC_Dir));
}

void CListDlgBase::RegisterDroppedFilesWith(const std::function<void()>& command) {
    new CFileDropTarget(*FileList().viewport(),
                        [this, command](const std::vector<std::string>& aPaths) {
                            m_aDroppedFiles = aPaths;
                            command();
                            m_aDroppedFiles.clear();
                        });
}
