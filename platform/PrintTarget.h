#pragma once

#include <string>

// Where a printed sheet goes: a printer or a PDF through Qt, or a recording fake in tests.
// Every coordinate is in 0.1 mm, x to the right and y downward from the top-left corner of
// the printable area. Texts are code page 932 bytes; the one font of the sheet is the fixed
// "ＭＳ ゴシック" (IPA Gothic here) at the height given to SetFont.
class CPrintTarget {
public:
    enum class Pen { Thin, Thick };
    struct Extent {
        int cx = 0;
        int cy = 0;
    };

    virtual ~CPrintTarget() = default;

    // The printer or file the sheet goes to (UTF-8), for the operator.
    virtual std::string Name() const = 0;
    virtual bool StartDocument(const std::string& strDocumentName) = 0;
    virtual void EndDocument() = 0;
    virtual void StartPage() = 0;
    virtual void EndPage() = 0;

    // Font height of the sheet in 0.1 mm.
    virtual void SetFont(int nHeight) = 0;
    // Text whose top-left corner is at (x, y), on a transparent background.
    virtual void TextOut(int x, int y, const std::string& strText) = 0;
    virtual Extent TextExtent(const std::string& strText) = 0;
    virtual void Line(int x1, int y1, int x2, int y2, Pen pen) = 0;
    // Rectangle outlined with the thin pen and filled solid black (a bar of a barcode).
    virtual void Bar(int left, int top, int right, int bottom) = 0;
};
