#include "app/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <map>

#include "platform/DialogLayout.h"

namespace {

const QColor kInk(0x20, 0x30, 0x50);
const QColor kAccent(0x1E, 0x6F, 0xC8);
const QColor kUnitBody(0x5A, 0x6B, 0x7D);

constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 64;

QPixmap Canvas(int nWidth, int nHeight, qreal devicePixelRatio) {
    QPixmap pixmap(qRound(nWidth * devicePixelRatio), qRound(nHeight * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QFont PictureFont(int nPixelSize, bool bBold = true) {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(nPixelSize);
    font.setBold(bBold);
    return font;
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to, const QColor& color) {
    painter.setPen(QPen(color, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
    QLineF line(to, from);
    QLineF wing1 = QLineF::fromPolar(9, line.angle() + 35).translated(to);
    QLineF wing2 = QLineF::fromPolar(9, line.angle() - 35).translated(to);
    painter.drawLine(wing1);
    painter.drawLine(wing2);
}

void DrawUnit(QPainter& painter, const QRectF& rect) {
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(kUnitBody);
    painter.drawRoundedRect(rect, 3, 3);
    painter.setBrush(QColor(0x9F, 0xE8, 0x9F));
    painter.drawRect(
        QRectF(rect.left() + 4, rect.top() + 4, rect.width() * 0.45, rect.height() * 0.3));
}

void DrawPc(QPainter& painter, const QRectF& screen) {
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(QColor(0xD8, 0xE6, 0xF5));
    painter.drawRoundedRect(screen, 2, 2);
    QPointF foot(screen.center().x(), screen.bottom());
    painter.drawLine(foot, foot + QPointF(0, 5));
    painter.drawLine(foot + QPointF(-8, 5), foot + QPointF(8, 5));
}

void DrawUsbStick(QPainter& painter, const QRectF& body) {
    painter.setPen(QPen(kInk, 1.2));
    painter.setBrush(kAccent);
    painter.drawRoundedRect(body, 2, 2);
    painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
    painter.drawRect(QRectF(body.right(), body.top() + body.height() * 0.2, body.width() * 0.3,
                            body.height() * 0.6));
}

void DrawDocument(QPainter& painter, const QRectF& rect, const QString& strText) {
    painter.setPen(QPen(kInk, 1.2));
    painter.setBrush(Qt::white);
    painter.drawRect(rect);
    painter.setFont(PictureFont(9));
    painter.drawText(rect, Qt::AlignCenter, strText);
}

// The symbol of each button, drawn in the 88 x 40 area above the label.
void DrawSymbol(QPainter& painter, int nBitmapId) {
    switch (nBitmapId) {
        case 125:  // simple send: PC to unit
            DrawPc(painter, QRectF(8, 8, 22, 16));
            DrawArrow(painter, QPointF(34, 18), QPointF(54, 18), kAccent);
            DrawUnit(painter, QRectF(58, 8, 22, 22));
            break;
        case 126:  // simple receive: unit to PC
            DrawUnit(painter, QRectF(8, 8, 22, 22));
            DrawArrow(painter, QPointF(34, 18), QPointF(54, 18), QColor(0x2E, 0x9E, 0x4F));
            DrawPc(painter, QRectF(58, 8, 22, 16));
            break;
        case 140:  // file management: named files
            DrawDocument(painter, QRectF(20, 6, 26, 28), QStringLiteral("ABC"));
            DrawDocument(painter, QRectF(42, 10, 26, 28), QStringLiteral("XYZ"));
            break;
        case 136:  // number registration: numbered list into the unit
            DrawDocument(painter, QRectF(16, 6, 30, 30), QStringLiteral("0001"));
            DrawArrow(painter, QPointF(50, 21), QPointF(64, 21), kAccent);
            DrawUnit(painter, QRectF(66, 12, 16, 18));
            break;
        case 137:  // number import: numbered programs out of the unit
            DrawUnit(painter, QRectF(8, 12, 16, 18));
            DrawArrow(painter, QPointF(26, 21), QPointF(40, 21), QColor(0x2E, 0x9E, 0x4F));
            DrawDocument(painter, QRectF(44, 6, 30, 30), QStringLiteral("0001"));
            break;
        case 138: {  // maintenance: a wrench
            painter.setPen(QPen(kInk, 6, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(30, 32), QPointF(52, 12));
            painter.setPen(QPen(kInk, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(55, 10), 7, 7);
            break;
        }
        case 141:  // sample generation: a short program
            DrawDocument(painter, QRectF(28, 4, 32, 34), QStringLiteral("%\nO1\n%"));
            break;
        case 144:  // USB setup
            DrawUsbStick(painter, QRectF(24, 12, 32, 16));
            painter.setPen(QPen(QColor(0x2E, 0x9E, 0x4F), 3));
            painter.drawLine(QPointF(62, 28), QPointF(67, 33));
            painter.drawLine(QPointF(67, 33), QPointF(78, 16));
            break;
        case 139: {  // settings: a gear
            painter.setPen(QPen(kInk, 5, Qt::SolidLine, Qt::FlatCap));
            for (int nTooth = 0; nTooth < 8; ++nTooth) {
                QLineF tooth = QLineF::fromPolar(14, nTooth * 45.0).translated(QPointF(44, 20));
                painter.drawLine(QPointF(44, 20), tooth.p2());
            }
            painter.setPen(QPen(kInk, 1.5));
            painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
            painter.drawEllipse(QPointF(44, 20), 9, 9);
            break;
        }
        case 142:  // save normally: the received tape into one file
            DrawDocument(painter, QRectF(8, 4, 24, 34), QStringLiteral("%\nO1\nO2\n%"));
            DrawArrow(painter, QPointF(36, 21), QPointF(52, 21), kAccent);
            DrawDocument(painter, QRectF(56, 4, 24, 34), QStringLiteral("O1\nO2"));
            break;
        case 143:  // save per O number: one file per program
            DrawDocument(painter, QRectF(8, 4, 24, 34), QStringLiteral("%\nO1\nO2\n%"));
            DrawArrow(painter, QPointF(36, 21), QPointF(52, 21), kAccent);
            DrawDocument(painter, QRectF(56, 2, 24, 18), QStringLiteral("O1"));
            DrawDocument(painter, QRectF(56, 22, 24, 18), QStringLiteral("O2"));
            break;
        case 131:  // exit
            painter.setPen(kInk);
            painter.setFont(PictureFont(16));
            painter.drawText(QRectF(0, 4, kButtonWidth, 32), Qt::AlignCenter,
                             QStringLiteral("EXIT"));
            break;
        default:
            break;
    }
}

}  // namespace

QString ButtonPictureLabel(int nBitmapId) {
    static const std::map<int, QString> labels = {
        {125, QStringLiteral("単純送信")},     {126, QStringLiteral("単純受信")},
        {140, QStringLiteral("ファイル管理")}, {136, QStringLiteral("番号登録")},
        {137, QStringLiteral("番号取込")},     {138, QStringLiteral("保守")},
        {141, QStringLiteral("サンプル生成")}, {144, QStringLiteral("USB設定")},
        {139, QStringLiteral("設定")},         {131, QStringLiteral("終了")},
        {142, QStringLiteral("通常保存")},     {143, QStringLiteral("O別保存")},
    };
    auto found = labels.find(nBitmapId);
    return found != labels.end() ? found->second : QString();
}

QPixmap ButtonPicture(int nBitmapId, qreal devicePixelRatio) {
    QPixmap pixmap = Canvas(kButtonWidth, kButtonHeight, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSymbol(painter, nBitmapId);
    painter.setPen(kInk);
    painter.setFont(PictureFont(13));
    painter.drawText(QRectF(0, 40, kButtonWidth, 22), Qt::AlignCenter,
                     ButtonPictureLabel(nBitmapId));
    return pixmap;
}

QPushButton* MakePictureButton(QWidget* pParent, int nBitmapId, const QString& strCaption) {
    QPushButton* pButton = MakePushButton(QString(), pParent);
    QPixmap picture = ButtonPicture(nBitmapId, pParent->devicePixelRatioF());
    pButton->setIcon(QIcon(picture));
    pButton->setIconSize(picture.deviceIndependentSize().toSize());
    pButton->setToolTip(strCaption);
    pButton->setAccessibleName(strCaption);
    return pButton;
}

QPixmap LogoPicture(qreal devicePixelRatio) {
    constexpr int nWidth = 560;
    constexpr int nHeight = 44;
    QPixmap pixmap = Canvas(nWidth, nHeight, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, nWidth, 0);
    gradient.setColorAt(0, kAccent);
    gradient.setColorAt(1, QColor(0x0B, 0x2A, 0x55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(0, 0, nWidth, nHeight), 6, 6);
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(26);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(16, 0, 200, nHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("RZKSET"));
    painter.setFont(PictureFont(15, false));
    painter.drawText(QRectF(170, 0, nWidth - 186, nHeight), Qt::AlignVCenter | Qt::AlignRight,
                     QStringLiteral("ＲＺＫ－７０ 設定・転送ソフトウェア"));
    return pixmap;
}

QPixmap UsbTransportPicture(qreal devicePixelRatio) {
    QPixmap pixmap = Canvas(220, 64, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawUnit(painter, QRectF(10, 14, 48, 40));
    DrawUsbStick(painter, QRectF(88, 8, 30, 14));
    QPainterPath path(QPointF(64, 40));
    path.cubicTo(QPointF(90, 56), QPointF(130, 56), QPointF(150, 40));
    painter.setPen(QPen(kAccent, 2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    DrawArrow(painter, QPointF(140, 46), QPointF(150, 40), kAccent);
    DrawPc(painter, QRectF(158, 10, 52, 38));
    return pixmap;
}

QPixmap NetworkTransportPicture(qreal devicePixelRatio) {
    QPixmap pixmap = Canvas(220, 64, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawPc(painter, QRectF(10, 10, 52, 38));
    painter.setPen(QPen(QColor(0xE0, 0x8A, 0x1E), 3));
    painter.drawLine(QPointF(62, 34), QPointF(150, 34));
    DrawUnit(painter, QRectF(150, 14, 48, 40));
    DrawUsbStick(painter, QRectF(196, 40, 16, 8));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int nSize : {16, 32, 48, 64}) {
        QPixmap pixmap(nSize, nSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kAccent);
        painter.drawRoundedRect(QRectF(0, 0, nSize, nSize), nSize / 6.0, nSize / 6.0);
        painter.setPen(Qt::white);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(nSize * 5 / 8);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, nSize, nSize), Qt::AlignCenter, QStringLiteral("R"));
        icon.addPixmap(pixmap);
    }
    return icon;
}
