#include "transfer/ReplacedPrograms.h"

#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "transfer/ProgramCompare.h"

void CReplacedPrograms::Remember(const std::string& strPath) {
    if (!m_aSeen.insert(strPath).second) {
        return;
    }
    if (std::optional<std::string> bytes = ReadWholeFile(strPath)) {
        m_aPrevious.emplace(strPath, std::move(*bytes));
    }
}

void CReplacedPrograms::Forget(const std::string& strPath) {
    m_aPrevious.erase(strPath);
    m_aSeen.erase(strPath);
}

// A file that cannot be read back after the receive is left out: the receive itself has
// reported whether it wrote it.
std::map<std::string, CReplacedPrograms::Change> CReplacedPrograms::Changes() const {
    std::map<std::string, Change> aChanges;
    for (const auto& [strPath, strPrevious] : m_aPrevious) {
        std::optional<std::string> received = ReadWholeFile(strPath);
        if (!received) {
            continue;
        }
        ProgramDifference difference = FirstDifference(strPrevious, *received);
        aChanges.emplace(strPath, Change{NameOfPath(strPath),
                                         difference.bDiffers ? DifferenceText(difference) : ""});
    }
    return aChanges;
}

std::string CReplacedPrograms::FileReport() const {
    const std::map<std::string, Change> aChanges = Changes();
    if (aChanges.empty()) {
        return {};
    }
    const Change& change = aChanges.begin()->second;
    return change.strDifference.empty()
               ? "以前のファイルと同じ内容です。"
               : Format("以前のファイルと違います（%s）。", change.strDifference.c_str());
}

std::string CReplacedPrograms::FolderReport() const {
    const std::map<std::string, Change> aChanges = Changes();
    if (aChanges.empty()) {
        return {};
    }
    std::string strListed;
    size_t nDiffering = 0;
    for (const auto& [strPath, change] : aChanges) {
        if (change.strDifference.empty()) {
            continue;
        }
        if (++nDiffering <= MAX_LISTED) {
            strListed += Format("\n%s %s", change.strName.c_str(), change.strDifference.c_str());
        }
    }
    if (nDiffering == 0) {
        return Format("置き換えた%zuファイルはすべて以前と同じ内容です。", aChanges.size());
    }
    if (nDiffering > MAX_LISTED) {
        strListed += Format("\nほか%zuファイル", nDiffering - MAX_LISTED);
    }
    return Format("置き換えた%zuファイルのうち%zuファイルが以前と違います。", aChanges.size(),
                  nDiffering) +
           strListed;
}
