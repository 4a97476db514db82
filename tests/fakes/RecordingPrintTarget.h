#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/PrintTarget.h"

// What a CRecordingPrintTarget was asked to print, kept by the test beyond the target's life.
struct PrintRecord {
    struct TextCall {
        int x;
        int y;
        std::string strText;
        int nFontHeight;
        bool operator==(const TextCall&) const = default;
        friend std::ostream& operator<<(std::ostream& stream, const TextCall& call) {
            return stream << "text (" << call.x << ", " << call.y << ") \"" << call.strText
                          << "\" height " << call.nFontHeight;
        }
    };
    struct LineCall {
        int x1;
        int y1;
        int x2;
        int y2;
        CPrintTarget::Pen pen;
        bool operator==(const LineCall&) const = default;
        friend std::ostream& operator<<(std::ostream& stream, const LineCall& call) {
            return stream << (call.pen == CPrintTarget::Pen::Thick ? "thick" : "thin") << " line ("
                          << call.x1 << ", " << call.y1 << ")-(" << call.x2 << ", " << call.y2
                          << ")";
        }
    };
    struct BarCall {
        int left;
        int top;
        int right;
        int bottom;
        bool operator==(const BarCall&) const = default;
        friend std::ostream& operator<<(std::ostream& stream, const BarCall& call) {
            return stream << "bar (" << call.left << ", " << call.top << ")-(" << call.right << ", "
                          << call.bottom << ")";
        }
    };
    struct Page {
        std::vector<TextCall> aTexts;
        std::vector<LineCall> aLines;
        std::vector<BarCall> aBars;
    };

    // Names of the documents started, and how many were ended.
    std::vector<std::string> aDocuments;
    int nDocumentsEnded = 0;
    std::vector<Page> aPages;
};

// A printer for tests: records every call, page by page, and measures text in a fixed cell
// per byte, half as wide as the font is high ("W" at height 38 is 19 x 38), so that positions
// derived from the measure are exact numbers. Fails the running test on drawing outside a
// page, on pages outside a document and on a document left open.
class CRecordingPrintTarget : public CPrintTarget {
public:
    // bStartSucceeds: what StartDocument answers (false: a printer that cannot start a job).
    explicit CRecordingPrintTarget(PrintRecord& record, bool bStartSucceeds = true)
        : m_record(record), m_bStartSucceeds(bStartSucceeds) {}
    ~CRecordingPrintTarget() override;

    std::string Name() const override { return "Recording Printer"; }
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
    PrintRecord::Page& OpenPage();

    PrintRecord& m_record;
    const bool m_bStartSucceeds;
    bool m_bDocumentOpen = false;
    bool m_bPageOpen = false;
    int m_nFontHeight = 0;
};
