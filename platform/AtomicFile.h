#pragma once

#include <functional>
#include <string>
#include <string_view>

// Writes a file unnamed or under a temporary name in the target's folder and puts it in place
// only when every byte has been written, so that a failure or a full disk never leaves a
// half-written file where a good one stood. Writes are buffered; the first failure
// sticks and makes Commit fail. A file that is not committed is removed.
class CAtomicFile {
public:
    // With bSyncToDisk, Commit waits until the bytes are on the medium: what the program keeps
    // (profiles, list files on a USB memory the operator may pull out next). Files made in bulk
    // on the PC (split tapes) are only flushed; a write error still shows when it is written.
    explicit CAtomicFile(std::string strTargetPath, bool bSyncToDisk = true);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the file to be written; false when the folder cannot take it.
    bool Open();
    bool IsOpen() const { return m_nDescriptor >= 0; }
    void Write(std::string_view bytes);
    // Writes the text followed by CR LF, as a text-mode stream of the unit's files does.
    void WriteLine(std::string_view text);
    // Flushes, syncs, closes and puts the file in place; false when any step failed.
    bool Commit();
    // Drops the file being written; the target stays as it was.
    void Discard();
    // The error number of the first step that failed since Open, 0 when none did.
    int Error() const { return m_nError; }

    const std::string& TargetPath() const { return m_strTargetPath; }

private:
    std::string m_strTargetPath;
    std::string m_strTemporaryPath;
    bool m_bSyncToDisk;
    bool TakeTemporaryName(const std::function<bool(const std::string&)>& take);
    bool LinkUnnamedFile(const std::string& strPath) const;
    void FlushBuffer();
    bool PutInPlace() const;
    // Marks the file failed, keeping the first error number.
    void Fail();

    int m_nDescriptor = -1;
    std::string m_strBuffer;
    bool m_bFailed = false;
    int m_nError = 0;
};
