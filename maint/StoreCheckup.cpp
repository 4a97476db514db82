#include "maint/StoreCheckup.h"

#include "maint/MaintenanceReport.h"

#include <cstdio>
#include <set>

#include "numlist/FileNo.h"
#include "numlist/NamedProgram.h"
#include "numlist/Registration.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "settings/SetData.h"
#include "unitstore/UnitReadiness.h"
#include "unitstore/UnitStore.h"

namespace {

// The unit's memory is FAT: names that differ only in the case of letters are the same file.
std::set<std::string> UpperNames(const std::vector<StoreEntry>& aEntries, bool bFolders) {
    std::set<std::string> aNames;
    for (const StoreEntry& entry : aEntries) {
        if (entry.bFolder == bFolders) {
            aNames.insert(MakeUpper(entry.strName));
        }
    }
    return aNames;
}

// The number of a numbered program's file "%04d.fno", or -1 for any other name.
int ProgramNumberOfFile(const std::string& strUpperName) {
    if (strUpperName.size() != 8 || strUpperName.compare(4, 4, ".FNO") != 0) {
        return -1;
    }
    int nNo = 0;
    for (size_t nIndex = 0; nIndex < 4; ++nIndex) {
        if (strUpperName[nIndex] < '0' || strUpperName[nIndex] > '9') {
            return -1;
        }
        nNo = nNo * 10 + (strUpperName[nIndex] - '0');
    }
    return nNo;
}

std::string LoadFailureText(int nResult) {
    return Format("読めません（%d）", nResult);
}

}  // namespace

CStoreCheckup::CStoreCheckup(const CSetData& setData, std::string strStagingFolder)
    : m_setData(setData), m_strStagingFolder(std::move(strStagingFolder)) {}

bool CStoreCheckup::Run(CUnitStore& store) {
    m_aChecks.clear();
    if (!store.SetFolder("")) {
        return false;
    }
    // Whether a folder is there is read from the root's listing on both transports: changing
    // into a missing folder fails over the network but not on the USB memory.
    std::optional<std::vector<StoreEntry>> aRootEntries = store.FindFiles("*");
    if (!aRootEntries) {
        if (!store.HasConnectionFailed()) {
            Add("ストアの一覧を取得できませんでした", true);
        }
        return !store.HasConnectionFailed();
    }
    const std::set<std::string> aFolders = UpperNames(*aRootEntries, true);
    CheckRoot(store, UpperNames(*aRootEntries, false));
    CheckNumberedPrograms(store, aFolders.contains(MakeUpper(kProgramFolder)));
    CheckUnitConfig(store, aFolders);
    return !store.HasConnectionFailed();
}

void CStoreCheckup::CheckRoot(CUnitStore& store, const std::set<std::string>& aFiles) {
    const bool bMarker = aFiles.contains(kMarkerName);
    Add(Format("マーカーファイル %s: %s", kMarkerName, bMarker ? "あり" : "ありません"), !bMarker);

    // The file operations dialog writes the catalogue the first time it opens.
    if (!aFiles.contains(MakeUpper(kNamedListFileName))) {
        Add(Format("ファイル名リスト %s: まだありません", kNamedListFileName), false);
        return;
    }
    CFileNo catalogue;
    int nResult = FetchList(store, kNamedListFileName, catalogue);
    if (nResult != CFileNo::LOAD_OK) {
        Add(Format("ファイル名リスト %s: %s", kNamedListFileName, LoadFailureText(nResult).c_str()),
            true);
        return;
    }
    std::vector<std::string> aMissing;
    for (const FILENODATA& entry : catalogue.m_aData) {
        std::string strStoreName = NamedStoreName(entry.strName, m_setData.ADD_DOT, m_setData.DOT);
        if (!aFiles.contains(MakeUpper(strStoreName))) {
            aMissing.push_back(Cp932ToDisplay(strStoreName));
        }
    }
    std::string strLine = Format("ファイル名リスト %s: 登録%zu件、ファイルのない登録%zu件",
                                 kNamedListFileName, catalogue.m_aData.size(), aMissing.size());
    Add(std::move(strLine), std::move(aMissing));
}

void CStoreCheckup::CheckNumberedPrograms(CUnitStore& store, bool bFolderThere) {
    if (store.HasConnectionFailed()) {
        return;
    }
    // The number registration makes the folder the first time it opens.
    if (!bFolderThere) {
        Add(Format("番号リストのフォルダ %s: まだありません", kProgramFolder), false);
        return;
    }
    std::optional<std::vector<StoreEntry>> aEntries;
    if (store.SetFolder(kProgramFolder)) {
        aEntries = store.FindFiles("*.fno");
    }
    if (!aEntries) {
        if (!store.HasConnectionFailed()) {
            Add(Format("番号リストのフォルダ %s: 一覧を取得できませんでした", kProgramFolder),
                true);
        }
        return;
    }
    std::set<int> aPrograms;
    const std::set<std::string> aFiles = UpperNames(*aEntries, false);
    for (const std::string& strName : aFiles) {
        if (int nNo = ProgramNumberOfFile(strName); nNo >= 0) {
            aPrograms.insert(nNo);
        }
    }
    CFileNo list;
    const bool bListThere = aFiles.contains(MakeUpper(kListFileName));
    const int nResult = bListThere ? FetchList(store, kListFileName, list) : CFileNo::LOAD_OK;
    if (nResult != CFileNo::LOAD_OK) {
        Add(Format("番号リスト %s: %s", kListFileName, LoadFailureText(nResult).c_str()), true);
        return;
    }
    std::set<int> aListed;
    std::vector<std::string> aNames;
    size_t nWithoutProgram = 0;
    for (const FILENODATA& entry : list.m_aData) {
        aListed.insert(entry.nNo);
        if (!aPrograms.contains(entry.nNo)) {
            ++nWithoutProgram;
            aNames.push_back(Format("%04d %s: プログラムがありません", entry.nNo,
                                    Cp932ToDisplay(entry.strName).c_str()));
        }
    }
    size_t nUnlisted = 0;
    for (int nNo : aPrograms) {
        if (!aListed.contains(nNo)) {
            ++nUnlisted;
            aNames.push_back(ProgramFileName(nNo) + ": リストにありません");
        }
    }
    std::string strLine =
        Format("番号リスト %s: 登録%zu件、リストにないプログラム%zu件、プログラムのない登録%zu件",
               kListFileName, list.m_aData.size(), nUnlisted, nWithoutProgram);
    Add(std::move(strLine), std::move(aNames));
}

void CStoreCheckup::CheckUnitConfig(CUnitStore& store, const std::set<std::string>& aFolders) {
    std::string strConfigFolder = kUnitConfigFolder;
    strConfigFolder.pop_back();
    if (store.HasConnectionFailed()) {
        return;
    }
    // The unit takes its settings from these files: without them it does not run with the
    // profile's, so a missing folder is a problem, unlike the folders made when first needed.
    if (!aFolders.contains(MakeUpper(strConfigFolder))) {
        Add(Format("ユニット設定 %s: フォルダがありません", strConfigFolder.c_str()), true);
        return;
    }
    if (!store.SetFolder(strConfigFolder)) {
        if (!store.HasConnectionFailed()) {
            Add(Format("ユニット設定 %s: フォルダに移動できませんでした", strConfigFolder.c_str()),
                true);
        }
        return;
    }
    CheckConfigFile(store, kUnitRsioName, m_setData.UnitRsioText());
    CheckConfigFile(store, kUnitInterfacesName, m_setData.UnitInterfacesText());
}

void CStoreCheckup::CheckConfigFile(CUnitStore& store, const char* pszName,
                                    const std::string& strExpected) {
    std::optional<std::string> bytes;
    Fetch(store, pszName, [&bytes](const std::string& strPath) {
        bytes = ReadWholeFile(strPath, kMaxMaintenanceFileBytes);
    });
    if (store.HasConnectionFailed()) {
        return;
    }
    const char* pszState = !bytes                  ? "ありません"
                           : *bytes == strExpected ? "このプロファイルのとおりです"
                                                   : "このプロファイルの設定と違います";
    Add(Format("ユニット設定 %s: %s", pszName, pszState), !bytes || *bytes != strExpected);
}

bool CStoreCheckup::Fetch(CUnitStore& store, const std::string& strStoreName,
                          const std::function<void(const std::string&)>& read) {
    const std::string strCopy = m_strStagingFolder + "~checkup.tmp";
    if (!store.GetFile(strStoreName, strCopy)) {
        return false;
    }
    read(strCopy);
    std::remove(strCopy.c_str());
    return true;
}

int CStoreCheckup::FetchList(CUnitStore& store, const std::string& strStoreName, CFileNo& list) {
    int nResult = CFileNo::LOAD_UNREADABLE;
    Fetch(store, strStoreName, [&](const std::string& strPath) {
        nResult = list.Load(strPath);
        if (nResult == CFileNo::LOAD_COUNT_MISMATCH && list.m_aData.empty() &&
            IsEmptyListFile(strPath, list.m_strTitle)) {
            nResult = CFileNo::LOAD_OK;
        }
    });
    return nResult;
}

bool CStoreCheckup::IsEmptyListFile(const std::string& strPath, const std::string& strTitle) const {
    CFileNo empty;
    empty.m_strTitle = strTitle;
    const std::string strEmptyCopy = m_strStagingFolder + "~checkup-empty.tmp";
    const bool bSame =
        empty.Save(strEmptyCopy) && ReadWholeFile(strEmptyCopy) == ReadWholeFile(strPath);
    std::remove(strEmptyCopy.c_str());
    return bSame;
}

void CStoreCheckup::Add(std::string strLine, bool bProblem) {
    m_aChecks.push_back({std::move(strLine), bProblem, {}});
}

void CStoreCheckup::Add(std::string strLine, std::vector<std::string> aProblemNames) {
    const bool bProblem = !aProblemNames.empty();
    m_aChecks.push_back({std::move(strLine), bProblem, std::move(aProblemNames)});
}

bool CStoreCheckup::HasProblems() const {
    for (const Check& check : m_aChecks) {
        if (check.bProblem) {
            return true;
        }
    }
    return false;
}

std::string CStoreCheckup::Summary() const {
    std::string strSummary;
    size_t nProblems = 0;
    for (const Check& check : m_aChecks) {
        strSummary += (check.bProblem ? "× " : "○ ") + check.strLine + "\n";
        nProblems += check.bProblem ? 1 : 0;
    }
    return strSummary + (nProblems == 0 ? std::string("問題はありません。")
                                        : Format("%zu件の項目を確認してください。", nProblems));
}

std::string CStoreCheckup::ToJson() const {
    std::string strChecks;
    size_t nProblems = 0;
    for (const Check& check : m_aChecks) {
        std::string strNames;
        for (const std::string& strName : check.aNames) {
            strNames.append(strNames.empty() ? "" : ",").append(JsonQuoted(strName));
        }
        strChecks.append(strChecks.empty() ? "" : ",")
            .append(Format("{\"line\":%s,\"problem\":%s,\"names\":[%s]}",
                           JsonQuoted(check.strLine).c_str(), check.bProblem ? "true" : "false",
                           strNames.c_str()));
        nProblems += check.bProblem ? 1 : 0;
    }
    return Format("{\"problems\":%zu,\"checks\":[%s]}", nProblems, strChecks.c_str());
}

std::string CStoreCheckup::Details() const {
    std::string strDetails;
    for (const Check& check : m_aChecks) {
        for (size_t nIndex = 0; nIndex < check.aNames.size() && nIndex < MAX_NAMES; ++nIndex) {
            strDetails += check.aNames[nIndex] + "\n";
        }
        if (check.aNames.size() > MAX_NAMES) {
            strDetails += Format("ほか%zu件\n", check.aNames.size() - MAX_NAMES);
        }
    }
    return strDetails;
}
