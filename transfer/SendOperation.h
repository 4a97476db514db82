#pragma once

#include <string>
#include <vector>

class QWidget;

// Simple send (main window button 1000): the operator picks one or several PC program files;
// one goes to the unit's output file unchanged, several are merged into one tape first.
// Reports through the application's UI services. Files dropped on the button come as
// aDroppedPaths and stand for the operator's choice; without them the file dialog asks.
void RunSimpleSend(QWidget* pParent, const std::vector<std::string>& aDroppedPaths = {});
