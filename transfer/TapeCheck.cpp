#include "transfer/TapeCheck.h"

#include <array>
#include <cstring>
#include <memory>

#include "platform/Progress.h"
#include "platform/Text.h"
#include "platform/UiServices.h"
#include "platform/WholeFile.h"
#include "transfer/ProgramSplitter.h"

namespace {

constexpr size_t EXCERPT_BYTES = 40;

// Printable ASCII that the controls' ISO input does not take; they skip it or stop with an
// alarm, and either way the block is not what the operator sees on the PC.
constexpr std::string_view UNREAD_PUNCTUATION = "\"!^{}|\\~`";

const char* KindLabel(CTapeCheck::Kind kind) {
    switch (kind) {
        case CTapeCheck::Kind::MissingFrame:
            return "「%」の枠なし";
        case CTapeCheck::Kind::DuplicateNumber:
            return "Ｏ番号の重複";
        case CTapeCheck::Kind::ColonAddress:
            return "「:」のプログラム番号";
        case CTapeCheck::Kind::LowerCase:
            return "小文字";
        case CTapeCheck::Kind::DroppedCharacter:
            return "ＮＣ装置が読まない文字";
        case CTapeCheck::Kind::NoProgramEnd:
            return "M30・M99・M02なし";
        case CTapeCheck::Kind::LongLine:
            return "256文字を超える行";
    }
    return "";
}

constexpr std::array ALL_KINDS = {
    CTapeCheck::Kind::MissingFrame,     CTapeCheck::Kind::DuplicateNumber,
    CTapeCheck::Kind::ColonAddress,     CTapeCheck::Kind::LowerCase,
    CTapeCheck::Kind::DroppedCharacter, CTapeCheck::Kind::NoProgramEnd,
    CTapeCheck::Kind::LongLine};

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool StartsWithPercent(std::string_view line) {
    size_t nFirst = line.find_first_not_of(" \t");
    return nFirst != std::string_view::npos && line[nFirst] == '%';
}

std::string Excerpt(std::string_view line) {
    return DisplayExcerpt(line, EXCERPT_BYTES);
}

// What the characters of a line outside comments hold. Comments run from "(" to ")"; the
// second byte of a double-byte character is never taken for one of the characters looked for.
struct LineContent {
    bool bLowerCase = false;
    bool bUnread = false;
    bool bProgramEnd = false;  // M2, M30 or M99, however many leading zeros
    char cAddress = 0;         // the first "O" or ":" outside comments
};

LineContent ReadLineContent(std::string_view line) {
    LineContent content;
    bool bInComment = false;
    for (size_t nIndex = 0; nIndex < line.size(); ++nIndex) {
        const auto byte = static_cast<unsigned char>(line[nIndex]);
        if (IsLeadByte(byte)) {
            content.bUnread = content.bUnread || !bInComment;
            ++nIndex;
            continue;
        }
        if (bInComment) {
            bInComment = byte != ')';
            continue;
        }
        if (byte == '(') {
            bInComment = true;
        } else if (byte >= 'a' && byte <= 'z') {
            content.bLowerCase = true;
        } else if ((byte < 0x20 && byte != '\t') || byte >= 0x7F ||
                   UNREAD_PUNCTUATION.find(static_cast<char>(byte)) != std::string_view::npos) {
            content.bUnread = true;
        } else if ((byte == 'O' || byte == ':') && content.cAddress == 0) {
            content.cAddress = static_cast<char>(byte);
        } else if (byte == 'M') {
            size_t nEnd = nIndex + 1;
            int nCode = 0;
            while (nEnd < line.size() && line[nEnd] >= '0' && line[nEnd] <= '9' && nCode < 1000) {
                nCode = nCode * 10 + (line[nEnd] - '0');
                ++nEnd;
            }
            content.bProgramEnd = content.bProgramEnd ||
                                  (nEnd > nIndex + 1 && (nCode == 2 || nCode == 30 || nCode == 99));
        }
    }
    return content;
}

}  // namespace

CTapeCheck::CTapeCheck(int nRemoteFirst, int nRemoteLast)
    : m_nRemoteFirst(nRemoteFirst), m_nRemoteLast(nRemoteLast) {}

void CTapeCheck::StartTape() {
    m_aNumbers.clear();
}

void CTapeCheck::CheckFile(const std::string& strPath, const std::string& strFileName,
                           bool bOwnFrame) {
    if (std::optional<std::string> bytes = ReadWholeFile(strPath)) {
        CheckBytes(strFileName, *bytes, bOwnFrame);
    }
}

void CTapeCheck::CheckFiles(const std::vector<std::string>& aPaths, bool bOneTape) {
    StartTape();
    for (size_t nFile = 0; nFile < aPaths.size(); ++nFile) {
        if (!bOneTape) {
            StartTape();
        }
        const std::string strFileName = NameOfPath(aPaths[nFile]);
        CProgress::StartFile(strFileName, static_cast<int>(nFile), static_cast<int>(aPaths.size()));
        CheckFile(aPaths[nFile], strFileName, !bOneTape || aPaths.size() == 1);
    }
}

bool CTapeCheck::Confirm(CUiServices& ui) const {
    return m_aFindings.empty() ||
           ui.WarningQuestionBox(Summary() + "\nこのまま登録しますか？", Details());
}

bool CTapeCheck::ConfirmFiles(CUiServices& ui, const std::vector<std::string>& aPaths,
                              bool bOneTape, int nRemoteFirst, int nRemoteLast) {
    CTapeCheck check(nRemoteFirst, nRemoteLast);
    // Reading a large file takes a while: without the busy dialog the window behind would
    // stand unpainted, the closed file dialog still on it.
    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
    check.CheckFiles(aPaths, bOneTape);
    pBusy->Close();
    return check.Confirm(ui);
}

void CTapeCheck::CheckBytes(const std::string& strFileName, std::string_view bytes,
                            bool bOwnFrame) {
    m_strFileName = strFileName;
    m_program = Program();
    m_bInProgram = false;
    m_bNumberSeen = false;
    int nFirstContent = 0;
    int nLastContent = 0;
    std::string_view firstContent;
    std::string_view lastContent;
    int nLine = 0;
    for (size_t nStart = 0; nStart < bytes.size();) {
        size_t nEnd = bytes.find_first_of("\r\n", nStart);
        if (nEnd == std::string_view::npos) {
            nEnd = bytes.size();
        }
        std::string_view line = bytes.substr(nStart, nEnd - nStart);
        ++nLine;
        nStart = nEnd + (bytes.compare(nEnd, 2, "\r\n") == 0 ? 2 : 1);
        if (IsBlank(line)) {
            continue;
        }
        if (nFirstContent == 0) {
            nFirstContent = nLine;
            firstContent = line;
        }
        nLastContent = nLine;
        lastContent = line;
        CheckLine(line, nLine);
    }
    EndProgram();
    if (bOwnFrame && nFirstContent > 0) {
        if (!StartsWithPercent(firstContent)) {
            Add(Kind::MissingFrame, nFirstContent, Excerpt(firstContent));
        }
        if (!StartsWithPercent(lastContent)) {
            Add(Kind::MissingFrame, nLastContent, Excerpt(lastContent));
        }
    }
}

void CTapeCheck::CheckLine(std::string_view line, int nLine) {
    if (line.size() > MAX_BLOCK_LENGTH) {
        Add(Kind::LongLine, nLine, Excerpt(line));
    }
    const LineContent content = ReadLineContent(line);
    if (content.bLowerCase) {
        Add(Kind::LowerCase, nLine, Excerpt(line));
    }
    if (content.bUnread) {
        Add(Kind::DroppedCharacter, nLine, Excerpt(line));
    }
    // Numbers the split takes for programs: positive ones.
    const int nNumber = GetProgramNumber(line);
    if (nNumber > 0) {
        // Text before the first program number is no program of its own.
        if (m_bNumberSeen) {
            EndProgram();
        }
        m_bNumberSeen = true;
        m_program = {Excerpt(line), nNumber, nLine, false};
        m_bInProgram = true;
        if (content.cAddress == ':') {
            Add(Kind::ColonAddress, nLine, Excerpt(line));
        }
        if (!m_aNumbers.insert(nNumber).second) {
            Add(Kind::DuplicateNumber, nLine, Excerpt(line));
        }
    } else if (!m_bInProgram && !StartsWithPercent(line)) {
        m_program = {Excerpt(line), NO_PROGRAM_NUMBER, nLine, false};
        m_bInProgram = true;
    }
    m_program.bEnded = m_program.bEnded || content.bProgramEnd;
}

// A tape without any program number is one program all the same, and needs its end too.
void CTapeCheck::EndProgram() {
    if (!m_bInProgram) {
        return;
    }
    m_bInProgram = false;
    const bool bNumbered = m_program.nNumber != NO_PROGRAM_NUMBER;
    const bool bRemote =
        bNumbered && m_program.nNumber >= m_nRemoteFirst && m_program.nNumber <= m_nRemoteLast;
    if ((bNumbered || !m_bNumberSeen) && !bRemote && !m_program.bEnded) {
        Add(Kind::NoProgramEnd, m_program.nLine, m_program.strExcerpt);
    }
}

void CTapeCheck::Add(Kind kind, int nLine, std::string strExcerpt) {
    m_aFindings.push_back({kind, m_strFileName, nLine, std::move(strExcerpt)});
}

std::string CTapeCheck::Summary() const {
    if (m_aFindings.empty()) {
        return {};
    }
    // A line of its own for each kind: a message box wraps a long line wherever it likes,
    // also between a kind and its count.
    std::string strSummary = Format("テープの確認で%zu件の注意があります。", m_aFindings.size());
    for (Kind kind : ALL_KINDS) {
        size_t nCount = 0;
        for (const Finding& finding : m_aFindings) {
            nCount += finding.kind == kind ? 1 : 0;
        }
        if (nCount > 0) {
            strSummary += Format("\n%s %zu件", KindLabel(kind), nCount);
        }
    }
    return strSummary;
}

std::string CTapeCheck::Details() const {
    std::string strDetails;
    const size_t nShown = std::min(m_aFindings.size(), MAX_DETAIL_LINES);
    for (size_t nIndex = 0; nIndex < nShown; ++nIndex) {
        const Finding& finding = m_aFindings[nIndex];
        strDetails += Format("%s %d行目: %s「%s」\n", finding.strFileName.c_str(), finding.nLine,
                             KindLabel(finding.kind), finding.strExcerpt.c_str());
    }
    if (m_aFindings.size() > nShown) {
        strDetails += Format("ほか%zu件\n", m_aFindings.size() - nShown);
    }
    return strDetails;
}
