#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "journal/JournalRecord.h"
#include "journal/ShopMemory.h"
#include "numlist/FileNo.h"
#include "unitstore/UnitStore.h"

// What the journal window does with the version of a line that the history keeps: the bytes a
// deletion removed or a replacement wrote over. It goes back where it came from: to the PC
// path, or to the unit under its name, with its entry put back into the unit's list of
// numbered or named programs as the list stood before it was changed.
class CJournalRestore {
public:
    struct Result {
        bool bOk = false;
        std::string strMessage;
    };

    CJournalRestore(CShopMemory& memory, UnitStoreSettings settings, bool bAddDot,
                    std::string strDot);

    // The kept version of the line; nullopt when it has none or it is no longer kept.
    std::optional<std::string> KeptBytes(const JournalRecord& record) const;
    // Whether the version goes back to the PC (else to the unit).
    static bool GoesToPc(const JournalRecord& record);
    // What stands where the version would go now ("" for no file); nullopt when that cannot be
    // read.
    std::optional<std::string> CurrentBytes(const JournalRecord& record);
    Result Restore(const JournalRecord& record);

private:
    Result RestoreToPc(const JournalRecord& record, const std::string& strBytes);
    Result RestoreToUnit(const JournalRecord& record, const std::string& strBytes);
    // Puts the program's entry back into the list of its folder, in its old place, from the
    // list the line names or the newest kept list that has it; true when there was none to
    // put back.
    bool RestoreCatalogueEntry(CUnitStore& store, const JournalRecord& record,
                               const std::string& strFolder, const std::string& strName);
    std::optional<CFileNo> ListNaming(const JournalRecord& record, bool bNumbered,
                                      const std::string& strFolder,
                                      const std::string& strName) const;
    std::optional<CFileNo> KeptList(const std::string& strSha256) const;
    std::optional<CFileNo> UnitList(CUnitStore& store, const std::string& strListName,
                                    const std::string& strTitle) const;
    static std::optional<CFileNo> TakeList(const std::string& strPath);
    static void PutEntryInItsPlace(const CFileNo& oldList, CFileNo& currentList, bool bNumbered,
                                   std::ptrdiff_t nOldIndex);
    std::string TemporaryPath(const char* pszName) const;

    CShopMemory& m_memory;
    UnitStoreSettings m_settings;
    bool m_bAddDot;
    std::string m_strDot;
};
