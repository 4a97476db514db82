#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;

// Simple send (main window button 1000): the operator picks one or several PC program files;
// one goes to the unit's output file unchanged, several are merged into one tape first.
// Reports through the application's UI services. Files dropped on the button come as
// aDroppedPaths and stand for the operator's choice; without them the file dialog asks.
void RunSimpleSend(QWidget* pParent, const std::vector<std::string>& aDroppedPaths = {});

// How a send of chosen files ended: the one message and, for a merged tape, the names of the
// programs merged into it.
struct SendReport {
    std::string strMessage;
    bool bOk = false;
    std::vector<std::string> aMergedNames;
};

// The send of files already chosen, without the end message: the tape check (which may ask),
// then the transfer under the busy dialog. nullopt when the operator stopped at the tape
// check and nothing was sent. The command line reports the outcome in its own way.
std::optional<SendReport> SendChosenFiles(const std::vector<std::string>& aPaths);
