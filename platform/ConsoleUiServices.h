#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/UiServices.h"

// The UI services of the command line, which runs without a window and needs no display: every
// box becomes its text, results and reports on standard output (pOutput), warnings, failures
// and questions on standard error (pErrors), as shell users expect; a question is answered by the
// --force option (the one whether to go on without a copy in the history by --no-copy), and the
// file dialogs answer with the paths the command line named. Whatever reports a failure (a warning,
// a question refused, a report with something to look at) marks the command failed, which is how
// its exit status is found without the operations knowing of it.
class CConsoleUiServices : public CUiServices {
public:
    CConsoleUiServices(bool bForce, bool bNoCopy, std::FILE* pOutput, std::FILE* pErrors);

    // A result for scripts, as it stands, on standard output.
    void WriteResult(const std::string& strText) { Write(m_pOutput, strText); }

    // The paths the next file dialog answers with (the save dialog takes the first).
    void SetChosenFiles(std::vector<std::string> aPaths) { m_aChosenFiles = std::move(aPaths); }
    // Some report or question said that the command did not do what it was asked.
    bool HasFailed() const { return m_bFailed; }

    void WarningBox(const std::string& strText) override;
    void MessageBox(const std::string& strText) override;
    void InformationBox(const std::string& strText) override;
    bool QuestionBox(const std::string& strText, bool bDefaultNo, bool bInformationIcon) override;
    bool QuestionDuringWork(const std::string& strText, bool bDefaultNo) override;
    bool ContinueWithoutCopy(const std::string& strText) override;
    void ReportWithDetails(bool bOk, const std::string& strText,
                           const std::string& strDetails) override;
    bool WarningQuestionBox(const std::string& strText, const std::string& strDetails) override;
    std::vector<std::string> OpenFiles(const FileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const FileDialogOptions& options) override;
    std::optional<std::string> BrowseFolder(const std::string& strTitle,
                                            const std::string& strInitialFolder) override;
    void Print(int nMinPage, int nMaxPage, const SheetPainter& paint) override;
    int RunModal(CDialog& dialog) override;
    std::unique_ptr<CBusyIndicator> ShowBusy() override;
    std::unique_ptr<CBusyIndicator> ShowStoppableBusy() override;
    void PumpMessages() override;

private:
    static void Write(std::FILE* pStream, const std::string& strText);
    // A question: its text and details, and whether the option that answers it (given or not)
    // goes on or the command stops.
    bool Answer(const std::string& strText, const std::string& strDetails, const char* pszOption,
                bool bOptionGiven);

    bool m_bForce;
    bool m_bNoCopy;
    std::FILE* m_pOutput;
    std::FILE* m_pErrors;
    bool m_bFailed = false;
    std::vector<std::string> m_aChosenFiles;
};
