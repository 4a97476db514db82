#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QPushButton;
class QWidget;

// The program's pictures, drawn in code so that they stay sharp at any display scale: the
// main window's button pictures (by their bitmap number), the logo, the two illustrations of
// the transports and the program icon.

// Picture of a button: a drawn symbol over its label.
QPixmap ButtonPicture(int nBitmapId, qreal devicePixelRatio);
// The label a button picture carries ("単純送信" for 125, ...).
QString ButtonPictureLabel(int nBitmapId);
// A push button that shows the picture, with the caption as its tool tip and accessible name.
QPushButton* MakePictureButton(QWidget* pParent, int nBitmapId, const QString& strCaption);
QPixmap LogoPicture(qreal devicePixelRatio);
// A USB memory carried from the unit to the PC (122).
QPixmap UsbTransportPicture(qreal devicePixelRatio);
// PC and unit joined by a network cable, the USB memory in the unit (135).
QPixmap NetworkTransportPicture(qreal devicePixelRatio);
QIcon ProgramIcon();
