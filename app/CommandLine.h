#pragma once

#include <string>
#include <vector>

// What the command line asks of the program. Without any option the program opens its window;
// file arguments alone (what a file manager hands over with "Open with") send those files from
// the window. Every option runs one command without a window.
struct CommandLine {
    enum class Command { Window, Send, Receive, Register, Import, Status, Help, Version };
    Command command = Command::Window;
    // The files of Send and Register; the one path of Receive and Import; the files to send
    // from the window.
    std::vector<std::string> aPaths;
    int nNo = 0;             // the first number of Register, the program of Import
    std::string strProfile;  // a machine profile other than the current one
    int nSousa = -1;         // -1: the transport of the application profile
    bool bForce = false;     // the tape check's findings do not stop the command
    // A file whose old bytes cannot be kept in the history is replaced or deleted all the same.
    bool bNoCopy = false;
    bool bJson = false;  // --status writes its report as one JSON object
    // Why the arguments were refused; empty when they were taken.
    std::string strError;

    bool IsConsole() const { return command != Command::Window || !strError.empty(); }
};

// Reads the arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& aArguments);

// The text of --help.
std::string CommandLineUsage();

// How a command of the command line ends.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadArguments = 2;
