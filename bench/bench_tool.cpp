// bench_tool COMMAND ...: the program's own code for one measure of bench/run.sh, as a command
// that hyperfine can time beside its anchor, and the floors that the anchors need.
//
//   split-floor SOURCE DESTDIR SUFFIX    the least a split can do: the tape read at once, each
//                                        program's file written from memory with open, write
//                                        and close
//   put HOST PORT LOCAL NAME             a file to "/pub/" of the unit as the send puts it
//   get HOST PORT NAME LOCAL             a file of "/pub/" to the PC as the receive gets it
//   register HOST PORT FOLDER            every file of FOLDER into RzFilesOut as "%04d.fno",
//                                        as one number registration does
//   list HOST PORT FOLDER                the listing of a store folder, as the file operations
//                                        open it
//   save-list PATH COUNT                 a numbered list of COUNT entries saved by CFileNo
//   save-floor PATH COUNT                the same bytes formatted in memory, one write, fsync,
//                                        rename
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "numlist/FileNo.h"
#include "numlist/Registration.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "unitstore/UnitStore.h"

namespace {

int Fail(const std::string& strWhat) {
    std::fprintf(stderr, "bench_tool: %s\n", strWhat.c_str());
    return 1;
}

bool WriteFileFromMemory(const std::string& strPath, std::string_view bytes) {
    int descriptor = open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return false;
    }
    bool bOk = write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return close(descriptor) == 0 && bOk;
}

// Each program of the tape, from its "O" line to the next, framed as the split frames it.
int SplitFloor(const std::string& strSource, const std::string& strFolder,
               const std::string& strSuffix) {
    std::optional<std::string> tape = ReadWholeFile(strSource);
    if (!tape) {
        return Fail("cannot read " + strSource);
    }
    std::string strFile;
    std::string strName;
    auto writeProgram = [&] {
        return strName.empty() ||
               WriteFileFromMemory(strFolder + "/" + strName + strSuffix, strFile + "%");
    };
    std::string_view rest = *tape;
    while (!rest.empty()) {
        size_t nEnd = rest.find('\n');
        std::string_view line = rest.substr(0, nEnd);
        rest.remove_prefix(nEnd == std::string_view::npos ? rest.size() : nEnd + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line == "%") {
            continue;
        }
        if (line.front() == 'O') {
            if (!writeProgram()) {
                return Fail("cannot write " + strName);
            }
            strName = Format("O%04d", std::atoi(std::string(line.substr(1)).c_str()));
            strFile = "%\r\n";
        }
        strFile.append(line).append("\r\n");
    }
    return writeProgram() ? 0 : Fail("cannot write " + strName);
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

CFileNo ListOf(int nCount) {
    CFileNo list;
    list.m_strTitle = "BENCH";
    for (int nNo = 1; nNo <= nCount; ++nNo) {
        list.m_aData.push_back({nNo, Format("PROGRAM_%04d.NC", nNo), "REMARK"});
    }
    return list;
}

int SaveFloor(const std::string& strPath, int nCount) {
    const CFileNo list = ListOf(nCount);
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

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> aArguments(argv + 1, argv + argc);
    const std::string strCommand = aArguments.empty() ? "" : aArguments[0];
    if (strCommand == "split-floor" && argc == 5) {
        return SplitFloor(argv[2], argv[3], argv[4]);
    }
    if ((strCommand == "put" || strCommand == "get") && argc == 6) {
        CUnitStore store = ConnectedStore(argv[2], argv[3]);
        bool bOk = store.Connect() && store.SetFolder("/pub/") &&
                   (strCommand == "put" ? store.PutFile(argv[4], argv[5])
                                        : store.GetFile(argv[4], argv[5]));
        return bOk ? 0 : Fail(strCommand + " failed");
    }
    if (strCommand == "register" && argc == 5) {
        CUnitStore store = ConnectedStore(argv[2], argv[3]);
        if (!store.Connect() || !store.SetFolder(kProgramFolder)) {
            return Fail("cannot reach " + std::string(kProgramFolder));
        }
        int nNo = 1;
        for (const std::string& strName : FilesOf(argv[4])) {
            if (!store.PutFile(std::string(argv[4]) + "/" + strName, ProgramFileName(nNo++))) {
                return Fail("cannot register " + strName);
            }
        }
        return 0;
    }
    if (strCommand == "list" && argc == 5) {
        CUnitStore store = ConnectedStore(argv[2], argv[3]);
        auto aEntries =
            store.Connect() && store.SetFolder(argv[4]) ? store.FindFiles("*") : std::nullopt;
        return aEntries ? 0 : Fail("cannot list");
    }
    if (strCommand == "save-list" && argc == 4) {
        return ListOf(std::atoi(argv[3])).Save(argv[2]) ? 0 : Fail("cannot save");
    }
    if (strCommand == "save-floor" && argc == 4) {
        return SaveFloor(argv[2], std::atoi(argv[3]));
    }
    std::fprintf(stderr, "usage: see the head of bench/bench_tool.cpp\n");
    return 2;
}
