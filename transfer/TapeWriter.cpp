#include "transfer/TapeWriter.h"

// Tapes are written on the PC, thousands at a time for a split: flushed, not synced one by one.
CTapeWriter::CTapeWriter(std::string strTargetPath)
    : m_file(std::move(strTargetPath), /*bSyncToDisk=*/false) {}

bool CTapeWriter::Open() {
    if (!m_file.Open()) {
        return false;
    }
    WriteLine("%");
    return true;
}

void CTapeWriter::WriteLine(std::string_view line) {
    m_file.WriteLine(line);
}

void CTapeWriter::Write(const TapeLines& lines) {
    if (lines.bEnded) {
        m_file.Write(lines.text);
    } else {
        m_file.WriteLine(lines.text);
    }
}

bool CTapeWriter::Finish() {
    m_file.Write("%");
    return m_file.Commit();
}
