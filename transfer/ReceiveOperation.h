#pragma once

class QWidget;

// Simple receive (main window button 1001): the program the unit last received is saved on
// the PC, as one file or split into one file per program number, as the operator chooses.
// Reports through the application's UI services.
void RunSimpleReceive(QWidget* pParent);

// The receive into one PC file: the file is asked for with the save dialog, then the unit's
// input file is fetched into it under the busy dialog and the outcome reported.
void RunNormalReceive();
