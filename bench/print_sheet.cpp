// print_sheet PDF COUNT [replay]: prints a numbered list of COUNT entries into a PDF through
// the program's print routine (PrintFileList over CQtPrintTarget), or, with "replay", draws
// the same calls, recorded from that routine beforehand, straight on a QPainter: the floor of
// printing. Prints the seconds the printing itself took, start-up and recording left out.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "bench/BenchList.h"
#include "numlist/FileNo.h"
#include "numlist/ListPrinter.h"
#include "platform/QtPrintTarget.h"
#include "platform/Text.h"
#include "platform/UiServices.h"

namespace {

std::unique_ptr<QPrinter> PdfPrinter(const char* pszPath) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromLocal8Bit(pszPath));
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

struct Text {
    int x, y, nHeight;
    std::string strText;
};
struct Line {
    int x1, y1, x2, y2;
    bool bThick;
};
struct Bar {
    int left, top, right, bottom;
};
struct NewPage {};
using Call = std::variant<Text, Line, Bar, NewPage>;

// Lays the sheet out with the real target's measures and keeps every drawing call, drawing
// nothing.
class CRecordingTarget : public CQtPrintTarget {
public:
    CRecordingTarget(std::unique_ptr<QPrinter> printer, std::vector<Call>& aCalls)
        : CQtPrintTarget(std::move(printer)), m_aCalls(aCalls) {}
    void StartPage() override {
        m_aCalls.emplace_back(NewPage{});
        CQtPrintTarget::StartPage();
    }
    void SetFont(int nHeight) override {
        m_nHeight = nHeight;
        CQtPrintTarget::SetFont(nHeight);
    }
    void TextOut(int x, int y, const std::string& strText) override {
        m_aCalls.emplace_back(Text{x, y, m_nHeight, strText});
    }
    void Line(int x1, int y1, int x2, int y2, Pen pen) override {
        m_aCalls.emplace_back(::Line{x1, y1, x2, y2, pen == Pen::Thick});
    }
    void Bar(int left, int top, int right, int bottom) override {
        m_aCalls.emplace_back(::Bar{left, top, right, bottom});
    }

private:
    std::vector<Call>& m_aCalls;
    int m_nHeight = 0;
};

// The UI services of a print with no person: the printer is the one given, every page.
class CPdfUi : public CUiServices {
public:
    explicit CPdfUi(std::unique_ptr<CPrintTarget> target) : m_target(std::move(target)) {}
    void WarningBox(const std::string& strText) override {
        std::fprintf(stderr, "%s\n", strText.c_str());
    }
    void MessageBox(const std::string&) override {}
    void InformationBox(const std::string&) override {}
    void ReportWithDetails(bool, const std::string&, const std::string&) override {}
    bool WarningQuestionBox(const std::string&, const std::string&) override { return true; }
    bool QuestionBox(const std::string&, bool, bool) override { return true; }
    bool QuestionDuringWork(const std::string&, bool) override { return true; }
    std::vector<std::string> OpenFiles(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> SaveFile(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> BrowseFolder(const std::string&, const std::string&) override {
        return {};
    }
    void Print(int nMinPage, int nMaxPage, const SheetPainter& paint) override {
        paint(*m_target, {nMinPage, nMaxPage});
    }
    int RunModal(CDialog&) override { return 0; }
    std::unique_ptr<CBusyIndicator> ShowBusy() override { return nullptr; }
    std::unique_ptr<CBusyIndicator> ShowStoppableBusy() override { return nullptr; }
    void PumpMessages() override {}

private:
    std::unique_ptr<CPrintTarget> m_target;
};

void Print(std::unique_ptr<CPrintTarget> target, int nCount) {
    CPdfUi ui(std::move(target));
    PrintFileList(ui, BenchList(nCount), "BENCH", PrintVariant::Number);
}

// The recorded calls drawn with nothing between them and QPainter.
void Replay(const std::vector<Call>& aCalls, const char* pszPath) {
    std::unique_ptr<QPrinter> printer = PdfPrinter(pszPath);
    QPainter painter(printer.get());
    painter.setViewport(0, 0, printer->width(), printer->height());
    painter.setWindow(0, 0, qRound(printer->width() * 254.0 / printer->logicalDpiX()),
                      qRound(printer->height() * 254.0 / printer->logicalDpiY()));
    painter.setBrush(Qt::black);
    QPen thin(Qt::black, 1.0);
    QPen thick(Qt::black, 3.0);
    painter.setPen(thin);
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
    int nHeight = 0;
    int nAscent = 0;
    bool bFirstPage = true;
    for (const Call& call : aCalls) {
        if (std::holds_alternative<NewPage>(call)) {
            if (!bFirstPage) {
                printer->newPage();
            }
            bFirstPage = false;
        } else if (const auto* pText = std::get_if<Text>(&call)) {
            if (pText->nHeight != nHeight) {
                nHeight = pText->nHeight;
                font.setPixelSize(nHeight);
                painter.setFont(font);
                nAscent = QFontMetrics(font, printer.get()).ascent();
            }
            painter.drawText(QPoint(pText->x, pText->y + nAscent),
                             QString::fromStdString(Cp932ToDisplay(pText->strText)));
        } else if (const auto* pLine = std::get_if<Line>(&call)) {
            painter.setPen(pLine->bThick ? thick : thin);
            painter.drawLine(pLine->x1, pLine->y1, pLine->x2, pLine->y2);
            painter.setPen(thin);
        } else if (const auto* pBar = std::get_if<Bar>(&call)) {
            painter.drawRect(
                QRectF(pBar->left, pBar->top, pBar->right - pBar->left, pBar->bottom - pBar->top));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: print_sheet PDF COUNT [replay]\n");
        return 2;
    }
    QApplication application(argc, argv);
    const int nCount = std::atoi(argv[2]);
    QElapsedTimer clock;
    if (argc == 4 && std::string(argv[3]) == "replay") {
        std::vector<Call> aCalls;
        Print(std::make_unique<CRecordingTarget>(PdfPrinter("/dev/null"), aCalls), nCount);
        clock.start();
        Replay(aCalls, argv[1]);
    } else {
        clock.start();
        Print(std::make_unique<CQtPrintTarget>(PdfPrinter(argv[1])), nCount);
    }
    std::printf("%.6f\n", static_cast<double>(clock.nsecsElapsed()) / 1e9);
    return 0;
}
