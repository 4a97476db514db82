#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "transfer/TapeLines.h"

// Reads an NC program tape through one buffer, so that a tape of any size streams through a
// fixed amount of memory (a single line longer than the buffer grows it). Lines come as both
// the merge and the split take them: every "%" removed, and lines that are then empty skipped.
// Most lines of a tape already stand as the tape files hold them; those come many at a time as
// they are, so that a tape of millions of short lines is not handled line by line. Any other
// line comes alone, without its line end (LF or CR LF).
class CTapeReader {
public:
    // A line holding one of the marks always comes alone, as the split must look at every line
    // that may start a program.
    explicit CTapeReader(std::string_view marks = {});
    ~CTapeReader();
    CTapeReader(const CTapeReader&) = delete;
    CTapeReader& operator=(const CTapeReader&) = delete;

    // False when the file cannot be opened for reading.
    bool Open(const std::string& strPath);
    // The next lines; valid until the next call. False at the end of the tape and on a read
    // error, which Failed() tells apart.
    bool Read(TapeLines& lines);
    bool Failed() const { return m_bFailed; }
    // The error number of the failed read.
    int Error() const { return m_nError; }
    void Close();

private:
    // The next non-empty line, without its line end.
    bool ReadLine(std::string_view& line);
    // The whole lines from the first unread byte on that can be copied as they are: ended by
    // CR LF, not empty, without a "%" or a mark. Empty when the next line is not such a line or
    // is not read in whole yet.
    std::string_view TakeEndedLines();
    // Where the first unread "%" or mark is, or the end of the read bytes.
    size_t NextSpecialByte();
    // Where the line starting there ends (its LF), or kUnknown when it is not read in whole.
    size_t FindLineEnd(size_t nLineStart) const;
    // Where the byte first stands from there on in the read bytes, or kUnknown.
    size_t FindByte(char byte, size_t nFrom) const;
    // The found positions no longer hold once the buffer's contents move.
    void ForgetFoundBytes();
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
    int m_nError = 0;
    std::string m_strStripped;
    // "%" and the marks, and where each was last found: the searches run once over the
    // buffer, not once for every line. kUnknown after the buffer changed.
    std::string m_strSpecialBytes;
    std::vector<size_t> m_aNextSpecialByte;
    // The LF of the line that could not be taken with others, found already.
    size_t m_nKnownLineEnd = static_cast<size_t>(-1);
};
