#include "tests/fakes/TestServers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/Text.h"

extern char** environ;

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);

pid_t Spawn(const std::vector<std::string>& aArguments, int nOutput) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (nOutput >= 0) {
        posix_spawn_file_actions_adddup2(&actions, nOutput, STDOUT_FILENO);
    }
    std::vector<char*> aArgv;
    for (const std::string& strArgument : aArguments) {
        aArgv.push_back(const_cast<char*>(strArgument.c_str()));
    }
    aArgv.push_back(nullptr);
    pid_t pid = -1;
    int nError = posix_spawn(&pid, aArgv[0], &actions, nullptr, aArgv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0) {
        throw std::runtime_error("cannot start " + aArguments[0]);
    }
    return pid;
}

// A port that nothing listens on at this moment.
int FreePort() {
    int nSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    getsockname(nSocket, reinterpret_cast<sockaddr*>(&address), &nLength);
    close(nSocket);
    return ntohs(address.sin_port);
}

// True once a server on the port greets a new connection.
bool Greets(int nPort) {
    int nSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(nPort));
    char greeting[4] = {};
    pollfd waiting{nSocket, POLLIN, 0};
    bool bGreets = connect(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                   poll(&waiting, 1, 1000) == 1 && read(nSocket, greeting, 3) == 3 &&
                   std::string(greeting) == "220";
    close(nSocket);
    return bGreets;
}

}  // namespace

CTestFolder::CTestFolder() {
    std::string strTemplate =
        (std::filesystem::temp_directory_path() / "rzkset-unitstore-XXXXXX").string();
    if (mkdtemp(strTemplate.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_strPath = strTemplate + "/";
}

CTestFolder::~CTestFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_strPath, error);
}

void WriteBytes(const std::string& strPath, const std::string& bytes) {
    std::ofstream(strPath, std::ios::binary) << bytes;
}

std::string PcProgram(const std::string& strName) {
    std::string strComment = strName;
    std::replace(strComment.begin(), strComment.end(), '\n', ' ');
    return "%\r\n(" + strComment + ")\r\nM30\r\n%\r\n";
}

std::string ReadBytes(const std::string& strPath) {
    std::ifstream stream(strPath, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return std::move(bytes).str();
}

std::set<std::string> FolderEntries(const std::string& strFolder) {
    std::set<std::string> aNames;
    for (const auto& entry : std::filesystem::directory_iterator(strFolder)) {
        aNames.insert(entry.path().filename().string());
    }
    return aNames;
}

std::string RandomBytes(size_t nSize) {
    std::string bytes(nSize, '\0');
    uint32_t nState = 0x12345678;
    for (char& byte : bytes) {
        nState = nState * 1664525 + 1013904223;
        byte = static_cast<char>(nState >> 24);
    }
    return bytes;
}

void WaitForSecondsLeftInMinute(int nSeconds) {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto intoMinute = now - floor<minutes>(now);
    if (intoMinute > minutes(1) - seconds(nSeconds)) {
        std::this_thread::sleep_for(minutes(1) - intoMinute + milliseconds(100));
    }
}

CTestFtpServer::~CTestFtpServer() = default;

void CTestFtpServer::Stop() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

CUnitSimulator::CUnitSimulator(const std::vector<std::string>& aOptions)
    : CUnitSimulator(std::string(), aOptions) {}

CUnitSimulator::CUnitSimulator(const std::string& strRoot,
                               const std::vector<std::string>& aOptions) {
    if (!strRoot.empty()) {
        m_strRoot = strRoot.back() == '/' ? strRoot : strRoot + "/";
    }
    int aPipe[2];
    if (pipe(aPipe) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    std::vector<std::string> aArguments = {
        "/usr/bin/python3", RZKSET_SOURCE_DIR "/tools/unitsim/unitsim.py", "--port", "0", "--root",
        m_strRoot};
    aArguments.insert(aArguments.end(), aOptions.begin(), aOptions.end());
    m_pid = Spawn(aArguments, aPipe[1]);
    close(aPipe[1]);
    m_nOutput = aPipe[0];

    // The simulator prints "unitsim listening on ADDRESS:PORT" once it accepts connections.
    std::string strOutput;
    auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (strOutput.find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{m_nOutput, POLLIN, 0};
        char buffer[256];
        ssize_t nRead = poll(&waiting, 1, 100) == 1 ? read(m_nOutput, buffer, sizeof(buffer)) : 0;
        if (nRead < 0 || (nRead == 0 && waiting.revents & POLLHUP)) {
            break;
        }
        strOutput.append(buffer, static_cast<size_t>(std::max<ssize_t>(nRead, 0)));
    }
    // Tests may put it on another loopback address ("--address 127.0.0.2").
    const std::string strReady = "unitsim listening on ";
    size_t nReady = strOutput.find(strReady);
    size_t nColon = nReady == std::string::npos ? nReady : strOutput.find(':', nReady);
    if (nColon == std::string::npos) {
        Stop();
        throw std::runtime_error("the unit simulator did not start: " + strOutput);
    }
    m_nPort = DecimalValue(std::string_view(strOutput).substr(nColon + 1));
}

CUnitSimulator::~CUnitSimulator() {
    Stop();
    close(m_nOutput);
}

std::string CUnitSimulator::DiskName(const std::string& strStoreName) const {
    return Cp932ToUtf8(strStoreName).value_or("");
}

CVsftpd::~CVsftpd() {
    Stop();
}

void CVsftpd::CutSessions() {
    // Every process below the listening one serves a session.
    std::map<pid_t, pid_t> aParents;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string strPid = entry.path().filename().string();
        if (strPid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string strStat = ReadBytes(entry.path().string() + "/stat");
        size_t nEnd = strStat.rfind(')');
        if (nEnd != std::string::npos) {
            std::istringstream fields(strStat.substr(nEnd + 2));
            std::string strState;
            pid_t parent = 0;
            fields >> strState >> parent;
            aParents[DecimalValue(strPid)] = parent;
        }
    }
    for (const auto& [pid, parent] : aParents) {
        pid_t ancestor = parent;
        while (ancestor > 1 && ancestor != m_pid) {
            auto found = aParents.find(ancestor);
            ancestor = found == aParents.end() ? 0 : found->second;
        }
        if (ancestor == m_pid && m_pid > 0) {
            kill(pid, SIGKILL);
        }
    }
}

std::string CVsftpd::Start(const std::vector<std::string>& aConfigLines) {
    if (access("/usr/sbin/vsftpd", X_OK) != 0) {
        return "vsftpd is not installed";
    }
    // Only as root does vsftpd lock its anonymous user into anon_root, so that "/pub/" names
    // the test folder; as the launching user it would name /pub of the machine.
    if (geteuid() != 0) {
        return "vsftpd serves anon_root as \"/\" only when started as root";
    }
    std::string strConfigFolder = m_folder / "config/";
    std::filesystem::create_directories(strConfigFolder + "empty");
    std::filesystem::create_directories(PubFolder());
    // The anonymous root must not be writable by the FTP user; pub/ below it is.
    chmod(m_folder.Path().c_str(), 0755);
    chmod(PubFolder().c_str(), 0777);
    WriteBytes(strConfigFolder + "passwords", "zvb\n");
    m_nPort = FreePort();
    std::string strConfig = Format(
        "listen=YES\nlisten_address=127.0.0.1\nlisten_port=%d\nlisten_ipv6=NO\nbackground=NO\n"
        "anonymous_enable=YES\nlocal_enable=NO\nanon_root=%s\nwrite_enable=YES\n"
        "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
        "anon_umask=022\nsecure_email_list_enable=YES\nemail_password_file=%spasswords\n"
        "pasv_enable=YES\nport_enable=YES\nconnect_from_port_20=NO\nseccomp_sandbox=NO\n"
        "secure_chroot_dir=%sempty\nxferlog_enable=NO\ndirmessage_enable=NO\n"
        "use_localtime=YES\n",
        m_nPort, m_folder.Path().c_str(), strConfigFolder.c_str(), strConfigFolder.c_str());
    for (const std::string& strLine : aConfigLines) {
        strConfig += strLine + "\n";
    }
    WriteBytes(strConfigFolder + "vsftpd.conf", strConfig);
    m_pid = Spawn({"/usr/sbin/vsftpd", strConfigFolder + "vsftpd.conf"}, -1);

    auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Greets(m_nPort)) {
            return "";
        }
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return "vsftpd stopped at start";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    return "vsftpd did not answer";
}
