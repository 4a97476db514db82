#pragma once

#include <QString>

#include "platform/UiServices.h"

// The UI services with real widgets: message boxes captioned with the program's name, the file
// dialogs, the print dialog and the busy dialog, each owned by the window the operator is
// working in.
class CQtUiServices : public CUiServices {
public:
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
    void PumpMessages() override;
};

// A file type of Qt's file dialog: the label the operator sees and the filter Qt matches with.
struct QtFileType {
    QString strLabel;
    QString strFilter;
};

// The file types for the program's "label|pattern|...||" form. Labels stay as written; the
// patterns match without regard to case, as the Windows file dialogs do, and "*.*" takes files
// without an extension too.
std::vector<QtFileType> QtFileTypes(const std::string& strFilter);

// Qt's own dialogs and buttons (file dialogs, Yes/No, the print dialog) in Japanese, as the
// rest of the program; without the translations package they stay in English.
void InstallJapaneseTranslations();
