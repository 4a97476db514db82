#include "platform/ConsoleUiServices.h"

namespace {

// Nothing to take down: the command line shows no busy dialog.
class CNoBusyIndicator : public CBusyIndicator {
public:
    void Close() override {}
};

}  // namespace

CConsoleUiServices::CConsoleUiServices(bool bForce, bool bNoCopy, std::FILE* pOutput,
                                       std::FILE* pErrors)
    : m_bForce(bForce), m_bNoCopy(bNoCopy), m_pOutput(pOutput), m_pErrors(pErrors) {}

void CConsoleUiServices::Write(std::FILE* pStream, const std::string& strText) {
    std::fprintf(pStream, "%s\n", strText.c_str());
    std::fflush(pStream);
}

void CConsoleUiServices::WarningBox(const std::string& strText) {
    m_bFailed = true;
    Write(m_pErrors, strText);
}

void CConsoleUiServices::MessageBox(const std::string& strText) {
    Write(m_pOutput, strText);
}

void CConsoleUiServices::InformationBox(const std::string& strText) {
    Write(m_pOutput, strText);
}

bool CConsoleUiServices::Answer(const std::string& strText, const std::string& strDetails,
                                const char* pszOption, bool bOptionGiven) {
    Write(m_pErrors, strText);
    if (!strDetails.empty()) {
        Write(m_pErrors, strDetails);
    }
    if (bOptionGiven) {
        Write(m_pErrors, std::string(pszOption) + ": はい");
        return true;
    }
    Write(m_pErrors, std::string(pszOption) + " がないので中止します。");
    m_bFailed = true;
    return false;
}

bool CConsoleUiServices::QuestionBox(const std::string& strText, bool, bool) {
    return Answer(strText, {}, "--force", m_bForce);
}

bool CConsoleUiServices::QuestionDuringWork(const std::string& strText, bool) {
    return Answer(strText, {}, "--force", m_bForce);
}

// A script that forces a doubtful tape through must not lose the program it replaces on the
// way: a program without a copy needs a word of its own.
bool CConsoleUiServices::ContinueWithoutCopy(const std::string& strText) {
    return Answer(strText, {}, "--no-copy", m_bNoCopy);
}

void CConsoleUiServices::ReportWithDetails(bool bOk, const std::string& strText,
                                           const std::string& strDetails) {
    // A report is the command's result, also when it found something to look at.
    m_bFailed = m_bFailed || !bOk;
    Write(m_pOutput, strText);
    if (!strDetails.empty()) {
        Write(m_pOutput, strDetails);
    }
}

bool CConsoleUiServices::WarningQuestionBox(const std::string& strText,
                                            const std::string& strDetails) {
    return Answer(strText, strDetails, "--force", m_bForce);
}

std::vector<std::string> CConsoleUiServices::OpenFiles(const FileDialogOptions&) {
    return m_aChosenFiles;
}

std::optional<std::string> CConsoleUiServices::SaveFile(const FileDialogOptions&) {
    if (m_aChosenFiles.empty()) {
        return std::nullopt;
    }
    return m_aChosenFiles.front();
}

// The commands of the command line name every path they need; a folder browser, a printer or a
// dialog of the program would need a person, so they count as cancelled.
std::optional<std::string> CConsoleUiServices::BrowseFolder(const std::string&,
                                                            const std::string&) {
    return std::nullopt;
}

void CConsoleUiServices::Print(int, int, const SheetPainter&) {}

int CConsoleUiServices::RunModal(CDialog&) {
    return 0;
}

std::unique_ptr<CBusyIndicator> CConsoleUiServices::ShowBusy() {
    return std::make_unique<CNoBusyIndicator>();
}

// A command has no button to press: it is stopped as any command is, and then ends at once.
std::unique_ptr<CBusyIndicator> CConsoleUiServices::ShowStoppableBusy() {
    return ShowBusy();
}

void CConsoleUiServices::PumpMessages() {}
