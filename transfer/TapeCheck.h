#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

// Looks over NC program files before they go to the unit for what the machine would refuse,
// alarm on or silently lose. It only warns: the files are sent as they are whatever it finds.
class CUiServices;

class CTapeCheck {
public:
    enum class Kind {
        MissingFrame,      // no "%" before the first program, or none after the last line
        DuplicateNumber,   // a program number announced a second time on one tape
        ColonAddress,      // a program number given with ":" where the machine reads "O"
        LowerCase,         // a lower-case letter outside a comment
        DroppedCharacter,  // a character outside a comment that the machine does not read
        NoProgramEnd,      // a program without M30, M99 or M02
        LongLine,          // a block longer than the machine's input buffer
    };
    struct Finding {
        Kind kind;
        std::string strFileName;  // UTF-8, as the operator chose it
        int nLine = 0;            // 1-based; 0 for the file as a whole
        std::string strExcerpt;   // the line, shortened, for display (UTF-8)
    };

    // Longest block, without its line end, that the controls read into their buffer at once.
    static constexpr size_t MAX_BLOCK_LENGTH = 256;

    // Programs numbered nRemoteFirst..nRemoteLast are instructions to the unit (calls of a
    // stored program), which need no program end.
    CTapeCheck(int nRemoteFirst, int nRemoteLast);

    // Starts a new tape: numbers seen on an earlier tape are no longer duplicates.
    void StartTape();
    // Checks a file's bytes as part of the current tape; bOwnFrame: the file is the whole tape
    // and must carry its "%" frame itself (a merged tape gets its frame from the merge).
    void CheckBytes(const std::string& strFileName, std::string_view bytes, bool bOwnFrame);
    // The same with the file read from disk; a file that cannot be read is left to the
    // operation, which reports it in its own words.
    void CheckFile(const std::string& strPath, const std::string& strFileName, bool bOwnFrame);

    // The files the operator chose: one tape made of them all (the simple send merges several
    // into one), or each file a tape of its own (every registered file is called on its own).
    // Each file is reported to CProgress as it is read.
    void CheckFiles(const std::vector<std::string>& aPaths, bool bOneTape);
    // With findings, asks whether to go on, the details on request; true to go on. Without
    // findings nothing is asked.
    bool Confirm(CUiServices& ui) const;

    const std::vector<Finding>& Findings() const { return m_aFindings; }
    // The head of the confirmation: the number of findings, then a line per kind found with
    // its count; empty when nothing was found.
    std::string Summary() const;
    // A line per finding, at most MAX_DETAIL_LINES, then how many more there were.
    std::string Details() const;

    static constexpr size_t MAX_DETAIL_LINES = 100;

    // CheckFiles, with the busy dialog up and naming the file at work, then Confirm: for the
    // commands that send the files the operator chose.
    static bool ConfirmFiles(CUiServices& ui, const std::vector<std::string>& aPaths, bool bOneTape,
                             int nRemoteFirst, int nRemoteLast);

private:
    // The number of a program no line announced: a tape without any program number.
    static constexpr int NO_PROGRAM_NUMBER = -1;
    struct Program {
        std::string strExcerpt;  // its first line
        int nNumber = NO_PROGRAM_NUMBER;
        int nLine = 0;
        bool bEnded = false;
    };

    void CheckLine(std::string_view line, int nLine);
    void EndProgram();
    void Add(Kind kind, int nLine, std::string strExcerpt);

    int m_nRemoteFirst;
    int m_nRemoteLast;
    std::set<int> m_aNumbers;
    std::string m_strFileName;
    Program m_program;
    bool m_bInProgram = false;
    bool m_bNumberSeen = false;
    std::vector<Finding> m_aFindings;
};
