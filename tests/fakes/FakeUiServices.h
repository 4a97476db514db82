#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/UiServices.h"

// UI services for tests: answers questions and dialogs from a script, records every box shown
// and fails the running test on anything it was not told to expect, on a box shown while the
// busy dialog is still up, and on a busy dialog that is never closed.
class CFakeUiServices : public CUiServices {
public:
    enum class BoxKind { Warning, Message, Information, Question };
    struct Box {
        BoxKind kind;
        std::string strText;
        bool bDefaultNo = false;
        bool bInformationIcon = false;
        std::string strDetails = {};
    };

    ~CFakeUiServices() override;

    // The script, consumed in order of asking.
    void AnswerQuestion(bool bYes) { m_aQuestionAnswers.push_back(bYes); }
    void AnswerOpenFiles(std::vector<std::string> aPaths) {
        m_aOpenFilesAnswers.push_back(std::move(aPaths));
    }
    void AnswerSaveFile(std::optional<std::string> path) {
        m_aSaveFileAnswers.push_back(std::move(path));
    }
    void AnswerBrowseFolder(std::optional<std::string> path) {
        m_aBrowseFolderAnswers.push_back(std::move(path));
    }
    using PrinterAnswer = std::function<std::unique_ptr<CPrintTarget>(int, int, PrintRange&)>;
    void AnswerPrinter(PrinterAnswer answer) { m_aPrinterAnswers.push_back(std::move(answer)); }
    // The person at the next dialog of the program: the dialog's result, or nullopt when it is
    // not the dialog expected. ExpectDialog (tests/fakes/ExpectDialog.h) makes these by class.
    using ModalAnswer = std::function<std::optional<int>(CDialog&)>;
    void AnswerModal(ModalAnswer answer) { m_aModalAnswers.push_back(std::move(answer)); }
    // Shows a real busy dialog too, made by the function given (told whether the work can be
    // stopped), for tests that look at it or press its button.
    using BusyMaker = std::function<std::unique_ptr<CBusyIndicator>(bool bCanStop)>;
    void ShowRealBusy(BusyMaker maker) { m_makeBusy = std::move(maker); }

    // What was shown.
    const std::vector<Box>& Boxes() const { return m_aBoxes; }
    std::vector<std::string> Texts() const;
    const std::vector<FileDialogOptions>& FileDialogs() const { return m_aFileDialogs; }
    int BusyShownCount() const { return m_nBusyShown; }
    bool IsBusyOpen() const { return m_nBusyOpen > 0; }
    int PumpCount() const { return m_nPumps; }
    void ClearRecord();

    // Called while a box is shown, for tests that look at the window state at that moment.
    std::function<void(const Box&)> OnBox;

    void WarningBox(const std::string& strText) override;
    void MessageBox(const std::string& strText) override;
    void InformationBox(const std::string& strText) override;
    bool QuestionBox(const std::string& strText, bool bDefaultNo, bool bInformationIcon) override;
    bool QuestionDuringWork(const std::string& strText, bool bDefaultNo) override;
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
    void PumpMessages() override { ++m_nPumps; }

private:
    BusyMaker m_makeBusy;
    class CFakeBusy;
    std::unique_ptr<CBusyIndicator> Busy(bool bCanStop);
    bool NextAnswer(const std::string& strText);
    void Record(Box box);

    std::deque<bool> m_aQuestionAnswers;
    std::deque<std::vector<std::string>> m_aOpenFilesAnswers;
    std::deque<std::optional<std::string>> m_aSaveFileAnswers;
    std::deque<std::optional<std::string>> m_aBrowseFolderAnswers;
    std::deque<PrinterAnswer> m_aPrinterAnswers;
    std::deque<ModalAnswer> m_aModalAnswers;
    std::vector<Box> m_aBoxes;
    std::vector<FileDialogOptions> m_aFileDialogs;
    int m_nBusyShown = 0;
    int m_nBusyOpen = 0;
    int m_nPumps = 0;
};
