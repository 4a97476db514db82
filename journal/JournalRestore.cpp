#include "journal/JournalRestore.h"

#include <unistd.h>

#include <vector>

#include "numlist/FileNo.h"
#include "numlist/NamedProgram.h"
#include "numlist/Registration.h"
#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "unitstore/StoreAction.h"

namespace {

constexpr const char* kNumberedFolder = "RzFilesOut/";

bool WriteBytes(const std::string& strPath, const std::string& strBytes) {
    CAtomicFile file(strPath);
    if (!file.Open()) {
        return false;
    }
    file.Write(strBytes);
    return file.Commit();
}

// "RzFilesOut/0001.fno" -> {"RzFilesOut/", "0001.fno"}, in code page 932.
std::optional<std::pair<std::string, std::string>> SplitUnitName(const std::string& strUnitName) {
    std::optional<std::string> cp932 = Utf8ToCp932(strUnitName);
    if (!cp932 || cp932->empty()) {
        return std::nullopt;
    }
    size_t nSlash = cp932->rfind('/');
    size_t nNameStart = nSlash == std::string::npos ? 0 : nSlash + 1;
    return std::make_pair(cp932->substr(0, nNameStart), cp932->substr(nNameStart));
}

// The list entry of the program named strName in the folder's list.
bool IsEntryOf(const FILENODATA& entry, bool bNumbered, const std::string& strName, bool bAddDot,
               const std::string& strDot) {
    return bNumbered ? ProgramFileName(entry.nNo) == strName
                     : EqualsIgnoringCase(NamedStoreName(entry.strName, bAddDot, strDot), strName);
}

}  // namespace

CJournalRestore::CJournalRestore(CShopMemory& memory, UnitStoreSettings settings, bool bAddDot,
                                 std::string strDot)
    : m_memory(memory),
      m_settings(std::move(settings)),
      m_bAddDot(bAddDot),
      m_strDot(std::move(strDot)) {}

std::optional<std::string> CJournalRestore::KeptBytes(const JournalRecord& record) const {
    return record.strKept.empty() ? std::nullopt : m_memory.History().Load(record.strKept);
}

bool CJournalRestore::GoesToPc(const JournalRecord& record) {
    return record.strDirection == JournalRecord::kDirectionToPc ||
           record.strDirection == JournalRecord::kDirectionOnPc;
}

std::optional<std::string> CJournalRestore::CurrentBytes(const JournalRecord& record) {
    if (GoesToPc(record)) {
        return access(record.strPcPath.c_str(), F_OK) != 0 ? std::string()
                                                           : ReadWholeFile(record.strPcPath);
    }
    auto unitName = SplitUnitName(record.strUnitName);
    if (!unitName) {
        return std::nullopt;
    }
    std::string strFetch = TemporaryPath("~History.current");
    CStoreAction action(m_settings, unitName->first);
    std::optional<std::vector<StoreEntry>> aEntries =
        action.IsOpen() ? action.Store().FindFiles(unitName->second) : std::nullopt;
    std::optional<std::string> bytes;
    if (aEntries && aEntries->empty()) {
        bytes = std::string();
    } else if (aEntries && action.Store().GetFile(unitName->second, strFetch)) {
        bytes = ReadWholeFile(strFetch);
    }
    unlink(strFetch.c_str());
    return bytes;
}

CJournalRestore::Result CJournalRestore::Restore(const JournalRecord& record) {
    std::optional<std::string> bytes = KeptBytes(record);
    if (!bytes) {
        return {false, "履歴にこの版は残っていません。"};
    }
    return GoesToPc(record) ? RestoreToPc(record, *bytes) : RestoreToUnit(record, *bytes);
}

CJournalRestore::Result CJournalRestore::RestoreToPc(const JournalRecord& record,
                                                     const std::string& strBytes) {
    if (!m_memory.KeepLocalFile(record.strPcPath)) {
        return {false, ""};
    }
    bool bWritten = WriteBytes(record.strPcPath, strBytes);
    m_memory.NoteFileWritten(m_settings, JournalRecord::kDirectionOnPc, record.strPcPath, "",
                             record.strPcPath, bWritten);
    return {bWritten, bWritten ? Format("%sを復元しました。", record.strPcPath.c_str())
                               : Format("%sの復元に失敗しました。", record.strPcPath.c_str())};
}

CJournalRestore::Result CJournalRestore::RestoreToUnit(const JournalRecord& record,
                                                       const std::string& strBytes) {
    auto unitName = SplitUnitName(record.strUnitName);
    std::string strUpload = TemporaryPath("~History.restore");
    std::string strFailure = Format("%sの復元に失敗しました。", record.strUnitName.c_str());
    if (!unitName || !WriteBytes(strUpload, strBytes)) {
        return {false, strFailure};
    }
    CStoreAction action(m_settings, unitName->first.empty() ? "/pub/" : unitName->first);
    bool bDone = action.IsOpen() && action.Store().PutFile(strUpload, unitName->second) &&
                 RestoreCatalogueEntry(action.Store(), unitName->first, unitName->second);
    unlink(strUpload.c_str());
    return {bDone, action.Message(bDone ? Format("%sを復元しました。", record.strUnitName.c_str())
                                        : strFailure)};
}

bool CJournalRestore::RestoreCatalogueEntry(CUnitStore& store, const std::string& strFolder,
                                            const std::string& strName) {
    bool bNumbered = strFolder == kNumberedFolder;
    if (!bNumbered && !strFolder.empty()) {
        return true;
    }
    std::string strListName = bNumbered ? kListFileName : kNamedListFileName;
    std::string strListUnitName = Cp932ToDisplay(strFolder + strListName);
    std::string strListPath = TemporaryPath("~History.list");
    // The newest list version the history keeps that names the program.
    std::optional<FILENODATA> oldEntry;
    CFileNo oldList;
    std::vector<JournalRecord> aRecords = m_memory.Journal().ReadAll();
    for (auto it = aRecords.rbegin(); it != aRecords.rend() && !oldEntry; ++it) {
        std::optional<std::string> listBytes =
            it->strUnitName == strListUnitName ? KeptBytes(*it) : std::nullopt;
        CFileNo list;
        if (!listBytes || !WriteBytes(strListPath, *listBytes) ||
            list.Load(strListPath) != CFileNo::LOAD_OK) {
            continue;
        }
        for (const FILENODATA& entry : list.m_aData) {
            if (IsEntryOf(entry, bNumbered, strName, m_bAddDot, m_strDot)) {
                oldEntry = entry;
                oldList = list;
                break;
            }
        }
    }
    if (!oldEntry) {
        unlink(strListPath.c_str());
        return true;
    }
    CFileNo currentList;
    if (!store.GetFile(strListName, strListPath) ||
        currentList.Load(strListPath) != CFileNo::LOAD_OK) {
        currentList = CFileNo();
        currentList.m_strTitle = oldList.m_strTitle;
    }
    bool bListed = false;
    for (const FILENODATA& entry : currentList.m_aData) {
        bListed = bListed || IsEntryOf(entry, bNumbered, strName, m_bAddDot, m_strDot);
    }
    if (!bListed) {
        currentList.m_aData.push_back(*oldEntry);
    }
    bool bDone =
        bListed || (currentList.Save(strListPath) && store.PutFile(strListPath, strListName));
    unlink(strListPath.c_str());
    return bDone;
}

std::string CJournalRestore::TemporaryPath(const char* pszName) const {
    return m_memory.DataFolder() + pszName;
}
