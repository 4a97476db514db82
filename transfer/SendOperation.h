#pragma once

class QWidget;

// Simple send (main window button 1000): the operator picks one or several PC program files;
// one goes to the unit's output file unchanged, several are merged into one tape first.
// Reports through the application's UI services.
void RunSimpleSend(QWidget* pParent);
