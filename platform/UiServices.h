#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDialog;
class CPrintTarget;

// The busy dialog while it is shown: its owner window is disabled until Close or destruction.
class CBusyIndicator {
public:
    virtual ~CBusyIndicator() = default;
    // Takes the dialog down and enables the owner again (when the dialog disabled it).
    virtual void Close() = 0;
};

// What a file dialog is built from. Texts and paths are UTF-8.
struct FileDialogOptions {
    // The program's filter form: pairs of description and pattern, each ended by "|", the
    // whole ended by a second "|" ("NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||").
    std::string strFilter;
    // Extension, without the dot, added to a typed name that has none; empty for none.
    std::string strDefaultExtension;
    std::string strInitialFolder;
    // Save dialog: the name filled in when it opens.
    std::string strFileName;
};

struct PrintRange {
    int nFromPage = 1;
    int nToPage = 1;
};

// Everything the program asks of a person or shows to one. The Qt implementation shows real
// widgets; tests put a scripted fake in its place. Texts are UTF-8.
class CUiServices {
public:
    virtual ~CUiServices() = default;

    // OK box with the exclamation icon: every failure.
    virtual void WarningBox(const std::string& strText) = 0;
    // OK box without icon: the successes that are reported.
    virtual void MessageBox(const std::string& strText) = 0;
    // OK box with the information icon.
    virtual void InformationBox(const std::string& strText) = 0;
    // The one report that ends an operation: a success in a plain box, a failure in a warning
    // box.
    void ReportOutcome(bool bOk, const std::string& strMessage) {
        bOk ? MessageBox(strMessage) : WarningBox(strMessage);
    }
    // Yes/No box; true for Yes.
    virtual bool QuestionBox(const std::string& strText, bool bDefaultNo = false,
                             bool bInformationIcon = false) = 0;
    // Yes/No box in the middle of work that shows the busy dialog: the busy dialog steps aside
    // while the question is up, so the box is never hidden behind it or disabled with its
    // owner.
    virtual bool QuestionDuringWork(const std::string& strText, bool bDefaultNo) = 0;
    // Whether to replace or delete a file whose old bytes could not be kept in the history: a
    // question during work, No as the default. A command line answers it on its own word,
    // never by the one that answers the tape check.
    virtual bool ContinueWithoutCopy(const std::string& strText) {
        return QuestionDuringWork(strText, true);
    }

    // OK box with the information icon, or the warning icon when something needs looking at,
    // and details the operator may unfold (none when empty).
    virtual void ReportWithDetails(bool bOk, const std::string& strText,
                                   const std::string& strDetails) = 0;
    // Yes/No box with the warning icon, and details the operator may unfold; true for Yes. No is
    // the default: going on sends what the check warned about, and Enter must not do that.
    virtual bool WarningQuestionBox(const std::string& strText, const std::string& strDetails) = 0;

    // Open dialog for one or several files; the chosen paths in the order the dialog returns
    // them, empty when cancelled.
    virtual std::vector<std::string> OpenFiles(const FileDialogOptions& options) = 0;
    // Save dialog that asks before overwriting; nullopt when cancelled.
    virtual std::optional<std::string> SaveFile(const FileDialogOptions& options) = 0;
    // Folder browser; nullopt when cancelled.
    virtual std::optional<std::string> BrowseFolder(const std::string& strTitle,
                                                    const std::string& strInitialFolder) = 0;
    // Paints the pages of the range on a printer, a PDF file or a preview.
    using SheetPainter = std::function<void(CPrintTarget&, const PrintRange&)>;
    // Print dialog with the page range nMinPage..nMaxPage preset, from which the operator may
    // also look at a preview; paints on the printer and range chosen, nothing when cancelled.
    virtual void Print(int nMinPage, int nMaxPage, const SheetPainter& paint) = 0;

    // Runs a dialog of the program modally (OnInitDialog first) and answers its result,
    // QDialog's Accepted or Rejected. Every dialog an operation opens goes through here.
    virtual int RunModal(CDialog& dialog) = 0;

    // Shows the busy dialog over the active window and lets it paint once.
    virtual std::unique_ptr<CBusyIndicator> ShowBusy() = 0;
    // The busy dialog of work that moves bytes, with its "中止" button: until it is closed,
    // CStopRequest::IsRequested tells the work whether the operator pressed it.
    virtual std::unique_ptr<CBusyIndicator> ShowStoppableBusy() = 0;
    // Runs the window messages that are waiting, then returns.
    virtual void PumpMessages() = 0;
};
