#include "transfer/TapeWriter.h"

namespace {

constexpr size_t kBlockSize = 1 << 16;

}  // namespace

// Tapes are written on the PC, thousands at a time for a split: flushed, not synced one by one.
CTapeWriter::CTapeWriter(std::string strTargetPath)
    : m_file(std::move(strTargetPath), /*bSyncToDisk=*/false) {}

bool CTapeWriter::Open() {
    if (!m_file.Open()) {
        return false;
    }
    m_strBlock.clear();
    m_strBlock.reserve(kBlockSize + 256);
    WriteLine("%");
    return true;
}

void CTapeWriter::WriteLine(std::string_view line) {
    m_strBlock.append(line);
    m_strBlock.append("\r\n");
    if (m_strBlock.size() >= kBlockSize) {
        FlushBlock();
    }
}

bool CTapeWriter::Finish() {
    m_strBlock.append("%");
    FlushBlock();
    return m_file.Commit();
}

void CTapeWriter::FlushBlock() {
    m_file.Write(m_strBlock);
    m_strBlock.clear();
}
