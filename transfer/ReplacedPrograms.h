#pragma once

#include <map>
#include <set>
#include <string>

// Keeps what PC files held before a receive replaced them, and tells afterwards whether and
// where each changed, so that the operator sees a program come back altered from the machine.
class CReplacedPrograms {
public:
    // Called before the file is written: keeps its bytes when it exists. A file written twice
    // in one receive is compared with what it held before the first time.
    void Remember(const std::string& strPath);
    // The file was not written after all: it is left out of the reports.
    void Forget(const std::string& strPath);

    // For a receive into one file: the line added to its end message; empty when the file
    // was new.
    std::string FileReport() const;
    // For a receive split into many files: the lines added to its end message, the first
    // differences of at most MAX_LISTED files; empty when no file was replaced.
    std::string FolderReport() const;

    // Every file remembered and not forgotten, whether it was there before or not.
    const std::set<std::string>& WrittenPaths() const { return m_aSeen; }

    static constexpr size_t MAX_LISTED = 10;

private:
    struct Change {
        std::string strName;
        std::string strDifference;  // empty when the program is the same
    };
    std::map<std::string, Change> Changes() const;

    std::map<std::string, std::string> m_aPrevious;
    std::set<std::string> m_aSeen;
};
