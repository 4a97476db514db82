// bench_tool COMMAND ...: the program's own code for one measure of bench/run.sh, as a command
// that hyperfine can time beside its anchor, and the floors that the anchors need.
//
//   split-floor SOURCE DESTDIR SUFFIX [create|link]
//                                        the least a split can do: the tape read at once, each
//                                        program's file written from memory in one write,
//                                        created under its name (create, the default) or
//                                        unnamed and linked in as the split does (link)
//                                        (make_tape.py's tapes only)
//   put HOST PORT LOCAL NAME             a file to "/pub/" of the unit as the send puts it
//   get HOST PORT NAME LOCAL             a file of "/pub/" to the PC as the receive gets it
//   register HOST PORT FOLDER            every file of FOLDER into RzFilesOut as "%04d.fno",
//                                        as one number registration does
//   register-journal HOST PORT FOLDER DATA   the same with the journal and the history of the
//                                        data folder DATA on
//   delete-all HOST PORT DATA on|off     every file of RzFilesOut deleted as "全消去" does, with
//                                        the history of DATA keeping each first (on) or
//                                        without journal and history (off)
//   fetch-delete-all HOST PORT           every file of RzFilesOut read into memory and deleted,
//                                        without journal and history: the least that keeping
//                                        each first can cost
//   list HOST PORT FOLDER                the listing of a store folder, as the file operations
//                                        open it
//   save-list PATH COUNT                 a numbered list of COUNT entries saved by CFileNo
//   save-floor PATH COUNT                the same bytes formatted in memory, one write, fsync,
//                                        rename
//   sha256 PATH                          the file hashed as the journal names the bytes that
//                                        went over (Sha256OfFile); prints the digest
//   bound-list HOST PORT FOLDER          a listing that the unit damages beyond the bound of a
//                                        line; prints the seconds and the peak memory (KiB)
//   bound-report HOST PORT STAGING       the maintenance report, as the dialog makes it; prints
//                                        the seconds and the peak memory (KiB)
//   bound-list-file PATH                 CFileNo::Load of a list file; prints the seconds and the
//                                        peak memory (KiB)
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchList.h"
#include "journal/JournalScope.h"
#include "journal/ShopMemory.h"
#include "maint/UnitMaintenance.h"
#include "numlist/FileNo.h"
#include "numlist/Registration.h"
#include "platform/Digest.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "unitstore/UnitStore.h"

namespace {

int Fail(const std::string& strWhat) {
    std::fprintf(stderr, "bench_tool: %s\n", strWhat.c_str());
    return 1;
}

// The program's frame and lines as they stand in the tape (CR LF already), in one call.
bool WriteFrame(int descriptor, std::string_view lines) {
    char aHead[] = "%\r\n";
    char aTail[] = "%";
    iovec aParts[] = {{aHead, 3}, {const_cast<char*>(lines.data()), lines.size()}, {aTail, 1}};
    return writev(descriptor, aParts, 3) == static_cast<ssize_t>(4 + lines.size());
}

// One program's file created under its name: open, one write, close.
bool CreateProgramFile(const std::string& strPath, std::string_view lines) {
    int descriptor = open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return false;
    }
    bool bOk = WriteFrame(descriptor, lines);
    return close(descriptor) == 0 && bOk;
}

// One program's file as the split makes it: unnamed in the folder, written, then linked in
// (through /proc for a user without the privilege to link a descriptor directly).
bool LinkProgramFile(const std::string& strPath, std::string_view lines) {
    const std::string strFolder = strPath.substr(0, strPath.rfind('/') + 1);
    int descriptor = open(strFolder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return false;
    }
    bool bOk = WriteFrame(descriptor, lines);
    if (bOk && linkat(descriptor, "", AT_FDCWD, strPath.c_str(), AT_EMPTY_PATH) != 0) {
        std::string strProc = "/proc/self/fd/" + std::to_string(descriptor);
        bOk = linkat(AT_FDCWD, strProc.c_str(), AT_FDCWD, strPath.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    return close(descriptor) == 0 && bOk;
}

// The tapes of make_tape.py: a "%" line, programs of CR LF lines each starting at an "O" line,
// a final "%". Each program's file is written straight from the tape read at once.
int SplitFloor(const std::string& strSource, const std::string& strFolder,
               const std::string& strSuffix, const std::string& strWay) {
    if (strWay != "create" && strWay != "link") {
        return Fail("the way is create or link");
    }
    auto writeProgramFile = strWay == "create" ? CreateProgramFile : LinkProgramFile;
    // Mapped, not read: the floor leaves out even the copy of the tape into memory.
    int descriptor = open(strSource.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (descriptor < 0 || fstat(descriptor, &status) != 0 || status.st_size == 0) {
        return Fail("cannot read " + strSource);
    }
    const size_t nSize = static_cast<size_t>(status.st_size);
    void* pTape = mmap(nullptr, nSize, PROT_READ, MAP_PRIVATE, descriptor, 0);
    close(descriptor);
    if (pTape == MAP_FAILED) {
        return Fail("cannot map " + strSource);
    }
    const std::string_view bytes(static_cast<const char*>(pTape), nSize);
    const size_t nEnd = bytes.rfind("\r\n%");
    size_t nStart = bytes.find("\nO");
    while (nStart != std::string_view::npos && nStart < nEnd) {
        ++nStart;
        size_t nNext = bytes.find("\nO", nStart);
        const size_t nStop = nNext == std::string_view::npos || nNext > nEnd ? nEnd + 2 : nNext + 1;
        const std::string strPath = Format("%s/O%04d%s", strFolder.c_str(),
                                           std::atoi(bytes.data() + nStart + 1), strSuffix.c_str());
        if (!writeProgramFile(strPath, bytes.substr(nStart, nStop - nStart))) {
            return Fail("cannot write " + strPath);
        }
        nStart = nNext;
    }
    return 0;
}

CUnitStore ConnectedStore(const char* pszHost, const char* pszPort) {
    UnitStoreSettings settings;
    settings.nSousa = 1;
    settings.strServer = pszHost;
    settings.nPort = std::atoi(pszPort);
    settings.nTimeoutSeconds = 30;
    return CUnitStore(settings);
}

std::vector<std::string> FilesOf(const std::string& strFolder) {
    std::vector<std::string> aNames;
    if (DIR* pFolder = opendir(strFolder.c_str())) {
        while (dirent* pEntry = readdir(pFolder)) {
            if (pEntry->d_name[0] != '.') {
                aNames.emplace_back(pEntry->d_name);
            }
        }
        closedir(pFolder);
    }
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

int Register(const char* pszHost, const char* pszPort, const std::string& strFolder) {
    CUnitStore store = ConnectedStore(pszHost, pszPort);
    if (!store.Connect() || !store.SetFolder(kProgramFolder)) {
        return Fail("cannot reach " + std::string(kProgramFolder));
    }
    int nNo = 1;
    for (const std::string& strName : FilesOf(strFolder)) {
        if (!store.PutFile(strFolder + "/" + strName, ProgramFileName(nNo++))) {
            return Fail("cannot register " + strName);
        }
    }
    return 0;
}

// The files of the program folder; nullopt when it cannot be listed.
std::optional<std::vector<std::string>> ProgramFiles(CUnitStore& store) {
    auto aEntries =
        store.Connect() && store.SetFolder(kProgramFolder) ? store.FindFiles("*") : std::nullopt;
    if (!aEntries) {
        return std::nullopt;
    }
    std::vector<std::string> aNames;
    for (const StoreEntry& entry : *aEntries) {
        if (!entry.bFolder) {
            aNames.push_back(entry.strName);
        }
    }
    return aNames;
}

int DeleteAll(const char* pszHost, const char* pszPort) {
    CUnitStore store = ConnectedStore(pszHost, pszPort);
    std::optional<std::vector<std::string>> aNames = ProgramFiles(store);
    if (!aNames) {
        return Fail("cannot list " + std::string(kProgramFolder));
    }
    std::string strFailure;
    // As the dialogs delete: the watch keeps a group of copies ahead of their deletions.
    store.RemoveEach(*aNames, [&](const std::string& strName, bool bRemoved) {
        if (!bRemoved) {
            strFailure = "cannot delete " + strName;
        }
        return bRemoved;
    });
    return strFailure.empty() ? 0 : Fail(strFailure);
}

// The floor of a delete all with copies: each file fetched into memory, then deleted.
int FetchDeleteAll(const char* pszHost, const char* pszPort) {
    CUnitStore store = ConnectedStore(pszHost, pszPort);
    std::optional<std::vector<std::string>> aNames = ProgramFiles(store);
    if (!aNames) {
        return Fail("cannot list " + std::string(kProgramFolder));
    }
    for (const std::string& strName : *aNames) {
        if (!store.ReadFile(strName) || !store.Remove(strName)) {
            return Fail("cannot fetch and delete " + strName);
        }
    }
    return 0;
}

// The journal and the history of a data folder, watching every store of the command.
std::unique_ptr<CShopMemory> OpenShopMemory(const std::string& strDataFolder) {
    auto pMemory = std::make_unique<CShopMemory>(strDataFolder + "/", CShopMemory::Settings{},
                                                 CShopMemory::Hooks{});
    CShopMemory::SetCurrent(pMemory.get());
    return pMemory;
}

int SaveFloor(const std::string& strPath, int nCount) {
    const CFileNo list = BenchList(nCount);
    std::string strText = "#ListHead Section Start\r\nPRNTITLE=BENCH\r\n";
    strText += Format("FNOCOUNT=%d\r\n#ListHead Section End\r\n", nCount);
    for (const FILENODATA& entry : list.m_aData) {
        strText += "#FileNo Section Start\r\nNO=" + std::to_string(entry.nNo) +
                   "\r\nNAME=" + entry.strName + "\r\nECT=" + entry.strEct +
                   "\r\n#FileNo Section End\r\n";
    }
    const std::string strTemporary = strPath + ".tmp";
    int descriptor = open(strTemporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool bOk =
        descriptor >= 0 &&
        write(descriptor, strText.data(), strText.size()) == static_cast<ssize_t>(strText.size()) &&
        fsync(descriptor) == 0;
    bOk = descriptor >= 0 && close(descriptor) == 0 && bOk;
    return bOk && std::rename(strTemporary.c_str(), strPath.c_str()) == 0 ? 0 : Fail("cannot save");
}

// The peak resident memory of this process in KiB, as the kernel keeps it for the process's
// own address space. getrusage's ru_maxrss would not do: Linux carries it across execve, so a
// tool started by a larger process (the measuring Python) would report that one's peak.
long PeakResidentKiB() {
    std::string_view status;
    std::optional<std::string> text = ReadWholeFile("/proc/self/status");
    if (text) {
        status = *text;
    }
    constexpr std::string_view kKey = "\nVmHWM:";
    size_t nKey = status.find(kKey);
    return nKey == std::string_view::npos ? -1 : std::atol(status.data() + nKey + kKey.size());
}

// The seconds a bound's work took and the peak memory of the process, for bench/measure.py;
// the work itself must have refused what exceeds the bound.
int ReportBound(bool bRefused, std::chrono::steady_clock::time_point start) {
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("%.3f %ld\n", seconds.count(), PeakResidentKiB());
    return bRefused ? 0 : Fail("what exceeds the bound was taken");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> aArguments(argv + 1, argv + argc);
    const std::string strCommand = aArguments.empty() ? "" : aArguments[0];
    if (strCommand == "split-floor" && (argc == 5 || argc == 6)) {
        return SplitFloor(argv[2], argv[3], argv[4], argc == 6 ? argv[5] : "create");
    }
    if ((strCommand == "put" || strCommand == "get") && argc == 6) {
        CUnitStore store = ConnectedStore(argv[2], argv[3]);
        bool bOk = store.Connect() && store.SetFolder("/pub/") &&
                   (strCommand == "put" ? store.PutFile(argv[4], argv[5])
                                        : store.GetFile(argv[4], argv[5]));
        return bOk ? 0 : Fail(strCommand + " failed");
    }
    if (strCommand == "register" && argc == 5) {
        return Register(argv[2], argv[3], argv[4]);
    }
    if (strCommand == "register-journal" && argc == 6) {
        std::unique_ptr<CShopMemory> pMemory = OpenShopMemory(argv[5]);
        CJournalScope scope("番号登録");
        return Register(argv[2], argv[3], argv[4]);
    }
    if (strCommand == "delete-all" && argc == 6) {
        std::unique_ptr<CShopMemory> pMemory =
            std::string_view(argv[5]) == "on" ? OpenShopMemory(argv[4]) : nullptr;
        CJournalScope scope("全消去");
        return DeleteAll(argv[2], argv[3]);
    }
    if (strCommand == "fetch-delete-all" && argc == 4) {
        return FetchDeleteAll(argv[2], argv[3]);
    }
    if (strCommand == "list" && argc == 5) {
        CUnitStore store = ConnectedStore(argv[2], argv[3]);
        auto aEntries =
            store.Connect() && store.SetFolder(argv[4]) ? store.FindFiles("*") : std::nullopt;
        return aEntries ? 0 : Fail("cannot list");
    }
    if (strCommand == "save-list" && argc == 4) {
        return BenchList(std::atoi(argv[3])).Save(argv[2]) ? 0 : Fail("cannot save");
    }
    if (strCommand == "save-floor" && argc == 4) {
        return SaveFloor(argv[2], std::atoi(argv[3]));
    }
    if (strCommand == "sha256" && argc == 3) {
        std::optional<FileDigest> digest = Sha256OfFile(argv[2]);
        if (!digest) {
            return Fail("cannot read");
        }
        std::printf("%s\n", digest->strSha256.c_str());
        return 0;
    }
    auto start = std::chrono::steady_clock::now();
    if (strCommand == "bound-list" && argc == 5) {
        CUnitStore store = ConnectedStore(argv[2], argv[3]);
        bool bListed = store.Connect() && store.SetFolder(argv[4]) && store.FindFiles("*");
        return ReportBound(!bListed && !store.HasConnectionFailed(), start);
    }
    if (strCommand == "bound-report" && argc == 5) {
        UnitStoreSettings settings = ConnectedStore(argv[2], argv[3]).Settings();
        std::string strReport = CollectMaintenanceReport(settings, argv[4]);
        return ReportBound(strReport.find("---ﾈｯﾄﾜｰｸ設定---\r\n\r\n") != std::string::npos, start);
    }
    if (strCommand == "bound-list-file" && argc == 3) {
        CFileNo list;
        return ReportBound(list.Load(argv[2]) == CFileNo::LOAD_UNREADABLE, start);
    }
    std::fprintf(stderr, "usage: see the head of bench/bench_tool.cpp\n");
    return 2;
}
