#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reads an NC program tape line by line through one buffer, so that a tape of any size streams
// through a fixed amount of memory (a single line longer than the buffer grows it). Lines come
// as both the merge and the split take them: without the line end (LF or CR LF), with every
// "%" removed, and lines that are then empty are skipped.
class CTapeReader {
public:
    CTapeReader() = default;
    ~CTapeReader();
    CTapeReader(const CTapeReader&) = delete;
    CTapeReader& operator=(const CTapeReader&) = delete;

    // False when the file cannot be opened for reading.
    bool Open(const std::string& strPath);
    // The next non-empty line; valid until the next call. False at the end of the tape and on a
    // read error, which Failed() tells apart.
    bool ReadLine(std::string_view& line);
    bool Failed() const { return m_bFailed; }
    void Close();

private:
    // Moves the unread bytes to the front and reads more behind them; false when nothing more
    // could be read.
    bool Fill();
    // The raw line without its line end and without percent signs.
    std::string_view TakeLine(std::string_view raw);

    int m_nDescriptor = -1;
    std::vector<char> m_aBuffer;
    size_t m_nBegin = 0;
    size_t m_nEnd = 0;
    bool m_bEndOfFile = false;
    bool m_bFailed = false;
    std::string m_strStripped;
};
