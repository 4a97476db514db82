#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;
struct UnitStoreSettings;

// How a send to one unit ended: the text to report, and the programs a merged tape holds.
struct SendReport {
    std::string strMessage;
    bool bOk = false;
    std::vector<std::string> aMergedNames;
    bool bStopped = false;  // the operator stopped it: nothing reached the unit
};

// Simple send (main window button 1000): the operator picks one or several PC program files;
// one goes to the unit's output file unchanged, several are merged into one tape first.
// Reports through the application's UI services. Files dropped on the button come as
// aDroppedPaths and stand for the operator's choice; without them the file dialog asks.
void RunSimpleSend(QWidget* pParent, const std::vector<std::string>& aDroppedPaths = {});

// The files a send is to take: those dropped, else the operator's choice in the file dialog,
// once they passed the tape check (current profile). Remembers their folder as NC_Dir. Empty
// when nothing is to be sent.
std::vector<std::string> ChooseProgramFiles(const std::vector<std::string>& aDroppedPaths);
// The chosen files to one unit under strOutputName: one file unchanged, several merged into a
// tape staged in strStagingFolder (ending in "/") and removed again. Touches no UI and no
// shared state, so that several units can be sent to at once.
SendReport SendPrograms(const std::vector<std::string>& aPaths, const UnitStoreSettings& settings,
                        const std::string& strOutputName, const std::string& strStagingFolder);
// The send of files already chosen (the command line's), without the end message: the tape
// check (which may ask), then the transfer to the current profile's unit under the busy dialog.
// nullopt when the operator stopped at the tape check and nothing was sent.
std::optional<SendReport> SendChosenFiles(const std::vector<std::string>& aPaths);
