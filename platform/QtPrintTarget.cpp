#include "platform/QtPrintTarget.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPen>
#include <QPrinter>

#include "platform/Text.h"

namespace {

// 0.1 mm per unit: 254 units to the inch.
constexpr double UNITS_PER_INCH = 254.0;
constexpr double THIN_PEN_WIDTH = 1.0;
constexpr double THICK_PEN_WIDTH = 3.0;

QPen SheetPen(double width) {
    QPen pen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setCosmetic(false);
    return pen;
}

QString DisplayText(const std::string& strCp932) {
    return QString::fromStdString(Cp932ToDisplay(strCp932));
}

}  // namespace

CQtPrintTarget::CQtPrintTarget(std::unique_ptr<QPrinter> printer)
    : m_ownedPrinter(std::move(printer)), m_pPrinter(m_ownedPrinter.get()), m_device(*m_pPrinter) {}

CQtPrintTarget::CQtPrintTarget(QPrinter& printer) : m_pPrinter(&printer), m_device(printer) {}

CQtPrintTarget::CQtPrintTarget(QPaintDevice& device) : m_device(device) {}

CQtPrintTarget::~CQtPrintTarget() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

std::string CQtPrintTarget::Name() const {
    if (m_pPrinter == nullptr) {
        return {};
    }
    const QString strFile = m_pPrinter->outputFileName();
    return (strFile.isEmpty() ? m_pPrinter->printerName() : strFile).toStdString();
}

bool CQtPrintTarget::StartDocument(const std::string& strDocumentName) {
    if (m_pPrinter != nullptr) {
        m_pPrinter->setDocName(QString::fromStdString(strDocumentName));
    }
    if (!m_painter.begin(&m_device)) {
        return false;
    }
    m_bPageStarted = false;
    // The window spans the device's area in 0.1 mm, so every call below speaks those units.
    const int widthUnits = qRound(m_device.width() * UNITS_PER_INCH / m_device.logicalDpiX());
    const int heightUnits = qRound(m_device.height() * UNITS_PER_INCH / m_device.logicalDpiY());
    m_painter.setViewport(0, 0, m_device.width(), m_device.height());
    m_painter.setWindow(0, 0, widthUnits, heightUnits);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setPen(SheetPen(THIN_PEN_WIDTH));
    m_painter.setBrush(Qt::black);
    m_painter.setFont(m_font);
    m_currentPen = Pen::Thin;
    return true;
}

void CQtPrintTarget::EndDocument() {
    m_painter.end();
}

void CQtPrintTarget::StartPage() {
    // The first page is open from the start of the document; later ones must be asked for.
    if (m_bPageStarted) {
        if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&m_device)) {
            paged->newPage();
        }
    }
    m_bPageStarted = true;
}

void CQtPrintTarget::EndPage() {}

void CQtPrintTarget::SetFont(int nHeight) {
    // IPA Gothic stands in when no substitution for the Windows face has been set up.
    m_font = QFont();
    m_font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setFixedPitch(true);
    m_font.setWeight(QFont::Normal);
    m_font.setItalic(false);
    m_font.setUnderline(false);
    // A pixel size is taken in the painter's window units; a point size would not be.
    m_font.setPixelSize(nHeight);
    // The metrics and the painter's font change only here: a sheet of thousands of rows
    // draws every text in the same font.
    m_metrics.emplace(m_font, &m_device);
    if (m_painter.isActive()) {
        m_painter.setFont(m_font);
    }
}

void CQtPrintTarget::TextOut(int x, int y, const std::string& strText) {
    m_painter.drawText(QPoint(x, y + Metrics().ascent()), DisplayText(strText));
}

CPrintTarget::Extent CQtPrintTarget::TextExtent(const std::string& strText) {
    return {Metrics().horizontalAdvance(DisplayText(strText)), Metrics().height()};
}

const QFontMetrics& CQtPrintTarget::Metrics() {
    if (!m_metrics) {
        m_metrics.emplace(m_font, &m_device);
    }
    return *m_metrics;
}

void CQtPrintTarget::Line(int x1, int y1, int x2, int y2, Pen pen) {
    UsePen(pen);
    m_painter.drawLine(QPoint(x1, y1), QPoint(x2, y2));
}

void CQtPrintTarget::Bar(int left, int top, int right, int bottom) {
    // The brush stays black from the start of the document; only lines change the pen.
    UsePen(Pen::Thin);
    m_painter.drawRect(QRectF(left, top, right - left, bottom - top));
}

void CQtPrintTarget::UsePen(Pen pen) {
    if (pen != m_currentPen) {
        m_painter.setPen(SheetPen(pen == Pen::Thick ? THICK_PEN_WIDTH : THIN_PEN_WIDTH));
        m_currentPen = pen;
    }
}
