#include "journal/JournalRestore.h"

#include <unistd.h>

#include <algorithm>
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

// "RzFilesOut/0001.fno" -> {"RzFilesOut/", "0001.fno"}, in code page 932: the line's own bytes
// of the name where the display could not hold them.
std::optional<std::pair<std::string, std::string>> SplitUnitName(const JournalRecord& record) {
    std::optional<std::string> cp932 =
        record.strUnitNameBytes.empty() ? Utf8ToCp932(record.strUnitName) : record.strUnitNameBytes;
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
    auto unitName = SplitUnitName(record);
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
    std::string strShown = NameToDisplay(record.strPcPath);
    return {bWritten, bWritten ? Format("%sを復元しました。", strShown.c_str())
                               : Format("%sの復元に失敗しました。", strShown.c_str())};
}

CJournalRestore::Result CJournalRestore::RestoreToUnit(const JournalRecord& record,
                                                       const std::string& strBytes) {
    auto unitName = SplitUnitName(record);
    std::string strUpload = TemporaryPath("~History.restore");
    std::string strFailure = Format("%sの復元に失敗しました。", record.strUnitName.c_str());
    if (!unitName || !WriteBytes(strUpload, strBytes)) {
        return {false, strFailure};
    }
    CStoreAction action(m_settings, unitName->first.empty() ? "/pub/" : unitName->first);
    bool bDone = action.IsOpen() && action.Store().PutFile(strUpload, unitName->second) &&
                 RestoreCatalogueEntry(action.Store(), record, unitName->first, unitName->second);
    unlink(strUpload.c_str());
    return {bDone, action.Message(bDone ? Format("%sを復元しました。", record.strUnitName.c_str())
                                        : strFailure)};
}

bool CJournalRestore::RestoreCatalogueEntry(CUnitStore& store, const JournalRecord& record,
                                            const std::string& strFolder,
                                            const std::string& strName) {
    bool bNumbered = strFolder == kNumberedFolder;
    if (!bNumbered && !strFolder.empty()) {
        return true;
    }
    std::optional<CFileNo> oldList = ListNaming(record, bNumbered, strFolder, strName);
    if (!oldList) {
        return true;
    }
    std::string strListName = bNumbered ? kListFileName : kNamedListFileName;
    std::optional<CFileNo> currentList = UnitList(store, strListName, oldList->m_strTitle);
    if (!currentList) {
        return false;
    }
    auto isOurs = [&](const FILENODATA& entry) {
        return IsEntryOf(entry, bNumbered, strName, m_bAddDot, m_strDot);
    };
    if (std::any_of(currentList->m_aData.begin(), currentList->m_aData.end(), isOurs)) {
        return true;
    }
    PutEntryInItsPlace(*oldList, *currentList, bNumbered,
                       std::find_if(oldList->m_aData.begin(), oldList->m_aData.end(), isOurs) -
                           oldList->m_aData.begin());
    std::string strListPath = TemporaryPath("~History.list");
    bool bDone = currentList->Save(strListPath) && store.PutFile(strListPath, strListName);
    unlink(strListPath.c_str());
    return bDone;
}

// The list the line names (the one its command held before deleting), else the newest list
// version the history keeps that names the program.
std::optional<CFileNo> CJournalRestore::ListNaming(const JournalRecord& record, bool bNumbered,
                                                   const std::string& strFolder,
                                                   const std::string& strName) const {
    std::string strListUnitName =
        Cp932ToDisplay(strFolder + (bNumbered ? kListFileName : kNamedListFileName));
    std::vector<std::string> aCandidates = {record.strList};
    std::vector<JournalRecord> aRecords = m_memory.Journal().ReadAll();
    for (auto it = aRecords.rbegin(); it != aRecords.rend(); ++it) {
        if (it->strUnitName == strListUnitName) {
            aCandidates.push_back(it->strKept);
        }
    }
    for (const std::string& strSha256 : aCandidates) {
        std::optional<CFileNo> list = KeptList(strSha256);
        if (list &&
            std::any_of(list->m_aData.begin(), list->m_aData.end(), [&](const FILENODATA& entry) {
                return IsEntryOf(entry, bNumbered, strName, m_bAddDot, m_strDot);
            })) {
            return list;
        }
    }
    return std::nullopt;
}

std::optional<CFileNo> CJournalRestore::KeptList(const std::string& strSha256) const {
    std::optional<std::string> bytes =
        strSha256.empty() ? std::nullopt : m_memory.History().Load(strSha256);
    std::string strListPath = TemporaryPath("~History.list");
    return bytes && WriteBytes(strListPath, *bytes) ? TakeList(strListPath) : std::nullopt;
}

// The list on the unit now. A list the folder's listing does not show is new; one that is
// there but cannot be fetched is never replaced by one not read from it.
std::optional<CFileNo> CJournalRestore::UnitList(CUnitStore& store, const std::string& strListName,
                                                 const std::string& strTitle) const {
    std::optional<std::vector<StoreEntry>> aFound = store.FindFiles(strListName);
    if (!aFound) {
        return std::nullopt;
    }
    if (aFound->empty()) {
        CFileNo list;
        list.m_strTitle = strTitle;
        return list;
    }
    std::string strListPath = TemporaryPath("~History.list");
    return store.GetFile(strListName, strListPath) ? TakeList(strListPath) : std::nullopt;
}

// As the dialogs read a list: what loads before a fault counts (an emptied list, whose count
// of 0 is a fault, reads as empty). The staging file goes.
std::optional<CFileNo> CJournalRestore::TakeList(const std::string& strPath) {
    CFileNo list;
    list.Load(strPath);
    unlink(strPath.c_str());
    return list;
}

// After the nearest entry that stood before it and still stands; failing that, before the
// nearest that stood after it; failing both, where it stood, as far as the list reaches.
void CJournalRestore::PutEntryInItsPlace(const CFileNo& oldList, CFileNo& currentList,
                                         bool bNumbered, std::ptrdiff_t nOldIndex) {
    auto& aCurrent = currentList.m_aData;
    auto placeOf = [&](const FILENODATA& oldEntry) {
        return std::find_if(aCurrent.begin(), aCurrent.end(), [&](const FILENODATA& entry) {
            return bNumbered ? entry.nNo == oldEntry.nNo
                             : EqualsIgnoringCase(entry.strName, oldEntry.strName);
        });
    };
    const FILENODATA& restored = oldList.m_aData[static_cast<size_t>(nOldIndex)];
    for (std::ptrdiff_t nBefore = nOldIndex - 1; nBefore >= 0; --nBefore) {
        auto place = placeOf(oldList.m_aData[static_cast<size_t>(nBefore)]);
        if (place != aCurrent.end()) {
            aCurrent.insert(place + 1, restored);
            return;
        }
    }
    for (size_t nAfter = static_cast<size_t>(nOldIndex) + 1; nAfter < oldList.m_aData.size();
         ++nAfter) {
        auto place = placeOf(oldList.m_aData[nAfter]);
        if (place != aCurrent.end()) {
            aCurrent.insert(place, restored);
            return;
        }
    }
    aCurrent.insert(aCurrent.begin() + std::min<std::ptrdiff_t>(
                                           nOldIndex, static_cast<std::ptrdiff_t>(aCurrent.size())),
                    restored);
}

std::string CJournalRestore::TemporaryPath(const char* pszName) const {
    return m_memory.DataFolder() + pszName;
}
