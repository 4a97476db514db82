#include "transfer/SelInTypeDlg.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "platform/DialogLayout.h"

namespace {

const QColor kInk(0x20, 0x30, 0x50);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kAccent(0x1E, 0x6F, 0xC8);

constexpr int kPictureWidth = 88;
constexpr int kPictureHeight = 64;

void DrawSheet(QPainter& painter, const QRectF& rect, const QString& strText) {
    painter.setPen(QPen(kInk, 1.2));
    painter.setBrush(kPaper);
    painter.drawRect(rect);
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(8);
    painter.setFont(font);
    painter.drawText(rect, Qt::AlignCenter, strText);
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to) {
    painter.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
    painter.drawLine(to, to + QPointF(-5, -5));
    painter.drawLine(to, to + QPointF(-5, 5));
}

// The picture of a button: the received tape going into one file, or into one file per
// program, over the label of the choice.
QPixmap ReceivePicture(bool bSplit, qreal devicePixelRatio) {
    QPixmap picture(qRound(kPictureWidth * devicePixelRatio),
                    qRound(kPictureHeight * devicePixelRatio));
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSheet(painter, QRectF(6, 6, 24, 32), QStringLiteral("%\nO1\nO2\n%"));
    DrawArrow(painter, QPointF(34, 22), QPointF(50, 22));
    if (bSplit) {
        DrawSheet(painter, QRectF(56, 4, 24, 17), QStringLiteral("O1"));
        DrawSheet(painter, QRectF(56, 23, 24, 17), QStringLiteral("O2"));
    } else {
        DrawSheet(painter, QRectF(56, 6, 24, 32), QStringLiteral("O1\nO2"));
    }
    QFont labelFont(QStringLiteral("ＭＳ ゴシック"));
    labelFont.setPixelSize(12);
    labelFont.setBold(true);
    painter.setFont(labelFont);
    painter.setPen(kInk);
    painter.drawText(QRectF(0, 44, kPictureWidth, 18), Qt::AlignCenter,
                     bSplit ? QStringLiteral("O別保存") : QStringLiteral("通常保存"));
    return picture;
}

QPushButton* AddPictureButton(QDialog* pDialog, int nId, const QString& strCaption, bool bSplit,
                              const QRect& geometry) {
    auto* pButton = new QPushButton(pDialog);
    pButton->setObjectName(QString::number(nId));
    pButton->setAccessibleName(strCaption);
    pButton->setToolTip(strCaption);
    pButton->setIcon(QIcon(ReceivePicture(bSplit, pDialog->devicePixelRatioF())));
    pButton->setIconSize(QSize(kPictureWidth, kPictureHeight));
    pButton->setGeometry(geometry);
    pButton->setAutoDefault(false);
    return pButton;
}

}  // namespace

CSelInTypeDlg::CSelInTypeDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("受信方法選択"));
    QFont dialogFont = DialogFont();
    setFont(dialogFont);
    setFixedSize(DialogUnitsToPixels(dialogFont, 143, 111));

    QPushButton* pNormal = AddPictureButton(this, 1032, QStringLiteral("通常"), false,
                                            DialogUnitsToPixels(dialogFont, 7, 7, 62, 72));
    QPushButton* pSplit = AddPictureButton(this, 1033, QStringLiteral("O番号別保存"), true,
                                           DialogUnitsToPixels(dialogFont, 74, 7, 62, 72));
    auto* pCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    pCancel->setObjectName(QStringLiteral("2"));
    pCancel->setGeometry(DialogUnitsToPixels(dialogFont, 46, 89, 50, 14));
    pCancel->setAutoDefault(false);

    connect(pNormal, &QPushButton::clicked, this, &CSelInTypeDlg::OnNormal);
    connect(pSplit, &QPushButton::clicked, this, &CSelInTypeDlg::OnSplit);
    connect(pCancel, &QPushButton::clicked, this, &CSelInTypeDlg::OnCancel);
}

void CSelInTypeDlg::OnNormal() {
    m_nSelect = SELECT_NORMAL;
    accept();
}

void CSelInTypeDlg::OnSplit() {
    m_nSelect = SELECT_SPLIT;
    accept();
}

void CSelInTypeDlg::OnCancel() {
    m_nSelect = SELECT_NONE;
    reject();
}

void CSelInTypeDlg::keyPressEvent(QKeyEvent* pEvent) {
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        pEvent->accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}
