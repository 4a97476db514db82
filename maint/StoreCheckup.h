#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

class CFileNo;
class CSetData;
class CUnitStore;

// Looks the unit's store over without changing it: the marker, the numbered programs against
// their list, the named programs' catalogue against the files, and whether the unit's
// configuration files read back as the current profile writes them.
class CStoreCheckup {
public:
    // One thing looked at: a line for the summary, and the names behind a problem.
    struct Check {
        std::string strLine;  // UTF-8
        bool bProblem = false;
        std::vector<std::string> aNames;  // UTF-8
    };

    // Staging copies of the store's lists go to strStagingFolder (ending in "/") and are
    // removed again.
    CStoreCheckup(const CSetData& setData, std::string strStagingFolder);

    // Runs every check on the store, which stands connected; false when the store failed
    // (lost connection), the checks done until then kept.
    bool Run(CUnitStore& store);

    const std::vector<Check>& Checks() const { return m_aChecks; }
    // A line per check, then whether anything needs looking at.
    std::string Summary() const;
    // The names behind each problem, at most MAX_NAMES per check.
    std::string Details() const;
    bool HasProblems() const;
    // The checks as one JSON object for scripts: {"problems":N,"checks":[{"line":...,
    // "problem":true|false,"names":[...]},...]}.
    std::string ToJson() const;

    static constexpr size_t MAX_NAMES = 50;

    // A list file of the current folder, loaded: CFileNo's result code, LOAD_OK also for the
    // list the program writes when it holds no entries.
    int FetchList(CUnitStore& store, const std::string& strStoreName, CFileNo& list);

private:
    // aFiles, aFolders: the upper-case names of the root's files and folders.
    void CheckRoot(CUnitStore& store, const std::set<std::string>& aFiles);
    void CheckNumberedPrograms(CUnitStore& store, bool bFolderThere);
    void CheckUnitConfig(CUnitStore& store, const std::set<std::string>& aFolders);
    void CheckConfigFile(CUnitStore& store, const char* pszName, const std::string& strExpected);
    // Fetches a file of the store's current folder into the staging folder, lets read look at
    // the copy and removes it; false when the file could not be fetched.
    bool Fetch(CUnitStore& store, const std::string& strStoreName,
               const std::function<void(const std::string&)>& read);
    // Whether the file holds exactly what saving a list without entries writes. Such a list
    // loads with LOAD_COUNT_MISMATCH, its count being 0, as does a damaged list that only
    // reads as empty.
    bool IsEmptyListFile(const std::string& strPath, const std::string& strTitle) const;
    void Add(std::string strLine, bool bProblem);
    // A check whose problem is the names, none when it is fine.
    void Add(std::string strLine, std::vector<std::string> aProblemNames);

    const CSetData& m_setData;
    std::string m_strStagingFolder;
    std::vector<Check> m_aChecks;
};
