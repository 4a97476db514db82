#pragma once

#include <string>

class CRZKSETApp;
class QWidget;

// Keeps UsbDrive and UsbDriveName of the application object on the USB memory that holds the
// unit's files. A drive qualifies when IsUsableUsbDrive accepts it; it is prepared when the
// marker file "PVN_RZK70" is at its root. Each function reads the drive table afresh.

// While the main window opens: offers the first prepared drive in drive order, if it is not
// the configured one already.
void SearchUsbDriveAtStartup(CRZKSETApp& app);

// A volume was mounted at this root. Offers to switch to it when device events are enabled
// and it is a prepared drive other than the configured one; true when UsbDrive and
// UsbDriveName changed, so that the window shows the new name.
bool OnVolumeArrival(CRZKSETApp& app, const std::string& strRoot);

// Button "変更": lets the operator choose among the usable drives; true when UsbDrive and
// UsbDriveName were set from the choice.
bool ChooseUsbDrive(CRZKSETApp& app, QWidget* pParent);

// Button "USB設定": writes the marker file onto the configured drive after asking.
void PrepareUsbMemory(CRZKSETApp& app);
