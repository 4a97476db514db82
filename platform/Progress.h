#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How far long work has come, for the busy dialog: the file it is at, how many files of how
// many are done, and the bytes of the transfer under way. The work reports as it goes; whoever
// shows progress listens for as long as a CProgress object of theirs lives. With nobody
// listening a report costs one test.
class CProgress {
public:
    struct State {
        std::string strFileName;  // UTF-8; empty until the work names a file
        int nFilesDone = 0;
        int nFilesTotal = 0;  // 0 when the work does not count files
        std::uint64_t nBytesDone = 0;
        std::uint64_t nBytesTotal = 0;          // 0 when the size is not known
        std::string strCountUnit = "ファイル";  // what the work counts (UTF-8)
    };
    using Listener = std::function<void(const State&)>;

    explicit CProgress(Listener listener);
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // The work turns to a file, with nFilesDone of nFilesTotal finished before it. Work that
    // counts something else than files (the units of a send to several) names it.
    static void StartFile(const std::string& strFileName, int nFilesDone, int nFilesTotal,
                          const std::string& strCountUnit = "ファイル");
    // Bytes of the current transfer moved so far, of nBytesTotal (0: unknown).
    static void TransferBytes(std::uint64_t nBytesDone, std::uint64_t nBytesTotal);

private:
    static void Notify();

    Listener m_listener;
};
