#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <memory>
#include <optional>

#include "platform/PrintTarget.h"

class QPaintDevice;
class QPrinter;

// Paints a sheet with QPainter: on a printer or a PDF file through QPrinter, or on any other
// paint device (an image in tests). The device's area is mapped to 0.1 mm from its
// resolution, so the sheet keeps its size on every device.
class CQtPrintTarget : public CPrintTarget {
public:
    // Prints to the printer chosen in the print dialog and owns it.
    explicit CQtPrintTarget(std::unique_ptr<QPrinter> printer);
    // Prints to a printer the caller keeps alive (the print preview's).
    explicit CQtPrintTarget(QPrinter& printer);
    // Paints on a device the caller keeps alive; pages after the first need a paged device.
    explicit CQtPrintTarget(QPaintDevice& device);
    ~CQtPrintTarget() override;

    std::string Name() const override;
    bool StartDocument(const std::string& strDocumentName) override;
    void EndDocument() override;
    void StartPage() override;
    void EndPage() override;
    void SetFont(int nHeight) override;
    void TextOut(int x, int y, const std::string& strText) override;
    Extent TextExtent(const std::string& strText) override;
    void Line(int x1, int y1, int x2, int y2, Pen pen) override;
    void Bar(int left, int top, int right, int bottom) override;

private:
    const QFontMetrics& Metrics();
    void UsePen(Pen pen);

    std::unique_ptr<QPrinter> m_ownedPrinter;
    QPrinter* m_pPrinter = nullptr;
    QPaintDevice& m_device;
    QPainter m_painter;
    QFont m_font;
    std::optional<QFontMetrics> m_metrics;
    Pen m_currentPen = Pen::Thin;
    bool m_bPageStarted = false;
};
