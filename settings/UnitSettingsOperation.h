#pragma once

class QWidget;

// The settings button of the main window, on the USB memory: the unit's current INDOT read,
// the settings dialog on a copy of the current profile, then on "保存" the profile saved on
// the PC and the unit's configuration files written to the memory, with one message.
void RunUnitSettings(QWidget* pParent);

// The profile selection of the main window's "切替".
void RunProfileSelection(QWidget* pParent);
