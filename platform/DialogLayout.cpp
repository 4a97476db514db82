#include "platform/DialogLayout.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QStringList>

namespace {

// Windows measures the average character width of a dialog font over the Latin letters.
QSize BaseUnits(const QFont& font) {
    QFontMetrics metrics(font);
    const QString strLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int nAverage = (metrics.horizontalAdvance(strLetters) / 26 + 1) / 2;
    return {nAverage, metrics.height()};
}

}  // namespace

void InstallFontSubstitutes() {
    // The fixed-pitch face for the fixed-pitch one, the proportional face for the others, so
    // that texts take the room the dialogs were laid out for.
    const QStringList fixedPitch = {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    const QStringList proportional = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), fixedPitch);
    for (const QString& strFace :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS UI Gothic"),
          QStringLiteral("MS Shell Dlg")}) {
        QFont::insertSubstitutions(strFace, proportional);
    }
}

QFont DialogFont(const QString& strFace, int nPointSize) {
    return QFont(strFace, nPointSize);
}

QSize DialogUnitsToPixels(const QFont& font, int nWidth, int nHeight) {
    QSize base = BaseUnits(font);
    return {nWidth * base.width() / 4, nHeight * base.height() / 8};
}

QRect DialogUnitsToPixels(const QFont& font, int nX, int nY, int nWidth, int nHeight) {
    QSize base = BaseUnits(font);
    return {nX * base.width() / 4, nY * base.height() / 8, nWidth * base.width() / 4,
            nHeight * base.height() / 8};
}

QPushButton* MakePushButton(const QString& strCaption, QWidget* pParent) {
    auto* pButton = new QPushButton(strCaption, pParent);
    pButton->setAutoDefault(false);
    return pButton;
}
