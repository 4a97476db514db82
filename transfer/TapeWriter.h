#pragma once

#include <string>
#include <string_view>

#include "platform/AtomicFile.h"
#include "transfer/TapeLines.h"

// One NC tape file being written for the machine: a line "%", the program lines each ended by
// CR LF, and a final "%" without a line end. The file's own buffer gathers the lines, so that a
// tape of millions of short lines costs few writes; the file appears under its name only when
// Finish has written every byte.
class CTapeWriter {
public:
    explicit CTapeWriter(std::string strTargetPath);

    // Creates the file and writes the opening "%" line; false when the folder cannot take it.
    bool Open();
    void WriteLine(std::string_view line);
    void Write(const TapeLines& lines);
    // Writes the final "%" and puts the file in place; false when any byte could not be
    // written.
    bool Finish();

    const std::string& TargetPath() const { return m_file.TargetPath(); }
    // The error number of the first write that failed, 0 when none did.
    int Error() const { return m_file.Error(); }

private:
    CAtomicFile m_file;
};
