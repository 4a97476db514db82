#include "journal/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>

#include "platform/WholeFile.h"

namespace {

constexpr const char* kRotatedPrefix = "Journal-";
constexpr const char* kExtension = ".jsonl";

// A line that could not be written whole (the disk filled in the middle of it) is cut off
// again, so that the next line does not start behind half of this one.
bool WriteWhole(int nDescriptor, const std::string& strBytes, off_t nStart) {
    ssize_t nWritten;
    do {
        nWritten = write(nDescriptor, strBytes.data(), strBytes.size());
    } while (nWritten < 0 && errno == EINTR);
    if (nWritten == static_cast<ssize_t>(strBytes.size())) {
        return true;
    }
    if (nWritten > 0) {
        // Should even the cut fail, the next line still starts on a line of its own.
        [[maybe_unused]] int nCut = ftruncate(nDescriptor, nStart);
    }
    return false;
}

// Whether the open file ends in the middle of a line: a writer killed or refused by a full disk
// before this code cut its lines back left half a line there.
bool EndsWithinLine(int nDescriptor, off_t nSize) {
    char cLast = '\n';
    return nSize > 0 && pread(nDescriptor, &cLast, 1, nSize - 1) == 1 && cLast != '\n';
}

std::string RotationStamp() {
    std::string strTime = JournalTimeNow();
    std::string strStamp;
    for (char c : strTime.substr(0, 19)) {
        if (c != '-' && c != ':') {
            strStamp += c;
        }
    }
    return strStamp;
}

}  // namespace

CJournal::CJournal(std::string strFolder, int64_t nRotateBytes)
    : m_strFolder(std::move(strFolder)), m_nRotateBytes(nRotateBytes) {}

CJournal::~CJournal() {
    CloseCurrent();
}

// The file under the journal's name is looked at before each line: another instance of the
// program may have rotated it, or someone removed it, and a line must not go where nobody
// reads it.
bool CJournal::Append(const JournalRecord& record) {
    std::string strLine = record.ToJsonLine() + "\n";
    struct stat status {};
    bool bThere = stat(CurrentPath().c_str(), &status) == 0;
    if (bThere && status.st_size > 0 &&
        status.st_size + static_cast<int64_t>(strLine.size()) > m_nRotateBytes) {
        CloseCurrent();
        if (!Rotate()) {
            return false;
        }
        bThere = false;
    }
    if (!bThere || status.st_dev != m_nDevice || status.st_ino != m_nInode) {
        CloseCurrent();
    }
    struct stat current {};
    if (!OpenCurrent() || fstat(m_nDescriptor, &current) != 0) {
        return false;
    }
    // The half line left at the end stays a line of its own, which the reader skips; the new
    // line starts on the next.
    if (EndsWithinLine(m_nDescriptor, current.st_size)) {
        strLine.insert(0, 1, '\n');
    }
    // One write() per record: O_APPEND puts the whole line at the end, so neither a kill nor
    // a second instance of the program can leave half a line between two others.
    return WriteWhole(m_nDescriptor, strLine, current.st_size);
}

bool CJournal::OpenCurrent() {
    if (m_nDescriptor >= 0) {
        return true;
    }
    // Read as well: Append looks at the last byte before it writes.
    m_nDescriptor = open(CurrentPath().c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    struct stat status {};
    if (m_nDescriptor < 0 || fstat(m_nDescriptor, &status) != 0) {
        CloseCurrent();
        return false;
    }
    m_nDevice = status.st_dev;
    m_nInode = status.st_ino;
    return true;
}

void CJournal::CloseCurrent() {
    if (m_nDescriptor >= 0) {
        close(m_nDescriptor);
        m_nDescriptor = -1;
    }
}

bool CJournal::Rotate() const {
    std::string strBase = m_strFolder + kRotatedPrefix + RotationStamp();
    std::string strTarget = strBase + kExtension;
    for (int nSuffix = 1; std::filesystem::exists(strTarget); ++nSuffix) {
        strTarget = strBase + "-" + std::to_string(nSuffix) + kExtension;
    }
    return rename(CurrentPath().c_str(), strTarget.c_str()) == 0 || errno == ENOENT;
}

std::vector<std::string> CJournal::Files() const {
    std::vector<std::string> aRotated;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_strFolder, error)) {
        std::string strName = entry.path().filename().string();
        if (strName.starts_with(kRotatedPrefix) && strName.ends_with(kExtension)) {
            aRotated.push_back(entry.path().string());
        }
    }
    // The stamp in the name sorts by time; within one second "-2" after "-1" after none.
    std::sort(aRotated.begin(), aRotated.end(), [](const std::string& a, const std::string& b) {
        size_t nStamp = a.rfind(kRotatedPrefix) + std::string_view(kRotatedPrefix).size();
        size_t nStampB = b.rfind(kRotatedPrefix) + std::string_view(kRotatedPrefix).size();
        int nOrder = a.compare(nStamp, 15, b, nStampB, 15);
        if (nOrder != 0) {
            return nOrder < 0;
        }
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    aRotated.push_back(CurrentPath());
    return aRotated;
}

std::vector<JournalRecord> CJournal::ReadAll(int* pSkipped) const {
    std::vector<JournalRecord> aRecords;
    int nSkipped = 0;
    for (const std::string& strPath : Files()) {
        std::optional<std::string> bytes = ReadWholeFile(strPath);
        if (!bytes) {
            continue;
        }
        std::string_view text = *bytes;
        // A line is a record in all but a damaged journal: room for them all at once.
        aRecords.reserve(aRecords.size() +
                         static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        while (!text.empty()) {
            size_t nEnd = std::min(text.find('\n'), text.size());
            std::string_view line = text.substr(0, nEnd);
            if (std::optional<JournalRecord> record = JournalRecord::FromJsonLine(line)) {
                aRecords.push_back(std::move(*record));
            } else if (line.find_first_not_of(" \t\r") != std::string_view::npos) {
                ++nSkipped;
            }
            text.remove_prefix(std::min(nEnd + 1, text.size()));
        }
    }
    if (pSkipped != nullptr) {
        *pSkipped = nSkipped;
    }
    return aRecords;
}

std::map<std::string, std::string> CJournal::LastTimeOfEachProfile() const {
    std::map<std::string, std::string> aLastTimes;
    // Oldest first: a later line of a profile takes the place of an earlier one.
    for (JournalRecord& record : ReadAll()) {
        aLastTimes[record.strProfile] = std::move(record.strTime);
    }
    return aLastTimes;
}
