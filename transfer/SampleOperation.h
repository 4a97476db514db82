#pragma once

class QWidget;

// Sample program (main window button 1014): writes a small program of the chosen kind as the
// unit's output file, for checking the link to the machine. Reports through the application's
// UI services.
void RunSampleProgram(QWidget* pParent);
