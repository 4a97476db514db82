#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QPushButton;
class QWidget;

// Fonts and measures of the program's dialogs. The dialogs are laid out in dialog units, as
// their sizes are known in them: a horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.

// Maps the Japanese Windows faces the dialogs name onto IPA Gothic; call before any widget.
void InstallFontSubstitutes();

// "ＭＳ Ｐゴシック" 9 point, the face of most dialogs; the main window uses "MS UI Gothic".
QFont DialogFont(const QString& strFace = QStringLiteral("ＭＳ Ｐゴシック"), int nPointSize = 9);

QSize DialogUnitsToPixels(const QFont& font, int nWidth, int nHeight);
QRect DialogUnitsToPixels(const QFont& font, int nX, int nY, int nWidth, int nHeight);

// A push button that is never made the default button behind the dialog's back: Qt gives a
// dialog's first "auto default" button the Enter key, where the dialogs here name their default
// button themselves (setDefault) or have none.
QPushButton* MakePushButton(const QString& strCaption, QWidget* pParent);
