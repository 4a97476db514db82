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
    std::vector<std::string> OpenFiles(const FileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const FileDialogOptions& options) override;
    std::optional<std::string> BrowseFolder(const std::string& strTitle,
                                            const std::string& strInitialFolder) override;
    std::unique_ptr<CPrintTarget> ChoosePrinter(int nMinPage, int nMaxPage,
                                                PrintRange& range) override;
    std::unique_ptr<CBusyIndicator> ShowBusy() override;
    void PumpMessages() override;
};

// The file dialog filter of Qt for the program's "description|pattern|...||" form. Patterns
// match without regard to case, as the Windows file dialogs do, and "*.*" takes files without
// an extension too.
QString QtFileFilter(const std::string& strFilter);
