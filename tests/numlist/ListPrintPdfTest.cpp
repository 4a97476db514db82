#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numlist/FileNo.h"
#include "numlist/ListPrinter.h"
#include "platform/QtPrintTarget.h"
#include "platform/QtUiServices.h"
#include "platform/Text.h"
#include "tests/fakes/FakeUiServices.h"
#include "tests/fakes/WhenOpen.h"

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "listprint_pdf_tests";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] const ::testing::Environment* const QT_ENVIRONMENT =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::string Cp932(const char* utf8) {
    return Utf8ToCp932(utf8).value();
}

// Standard output of a shell command; the test fails when the command does.
std::string RunCommand(const std::string& strCommand) {
    std::string strOutput;
    FILE* pipe = popen(strCommand.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << strCommand;
    if (pipe == nullptr) {
        return strOutput;
    }
    char buffer[4096];
    size_t length = 0;
    while ((length = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        strOutput.append(buffer, length);
    }
    EXPECT_EQ(pclose(pipe), 0) << strCommand;
    return strOutput;
}

std::vector<std::string> Lines(const std::string& strText) {
    std::vector<std::string> aLines;
    size_t start = 0;
    for (size_t end = strText.find('\n'); end != std::string::npos;
         start = end + 1, end = strText.find('\n', start)) {
        aLines.push_back(strText.substr(start, end - start));
    }
    return aLines;
}

// Prints the list to an A4 PDF the way the print dialog hands over a printer.
void PrintPdf(const CFileNo& list, const std::string& strTitle, PrintVariant variant,
              const QString& pdfPath) {
    CFakeUiServices ui;
    ui.AnswerPrinter([&](int, int, PrintRange&) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPath);
        printer->setPageSize(QPageSize(QPageSize::A4));
        return std::make_unique<CQtPrintTarget>(std::move(printer));
    });
    PrintFileList(ui, list, strTitle, variant);
}

// The barcodes zbarimg reads in an image, sorted.
std::vector<std::string> ReadBarcodes(const QString& imagePath) {
    // zbarimg's complaints about the system bus on stderr are harmless.
    std::vector<std::string> aCodes =
        Lines(RunCommand("zbarimg -q --raw '" + imagePath.toStdString() + "' 2>/dev/null"));
    std::sort(aCodes.begin(), aCodes.end());
    return aCodes;
}

// The barcodes read from each page of the PDF rendered at 300 dpi.
std::vector<std::vector<std::string>> ScanPages(const QTemporaryDir& folder,
                                                const QString& pdfPath) {
    const QString prefix = folder.filePath("page");
    RunCommand("pdftoppm -r 300 -png '" + pdfPath.toStdString() + "' '" + prefix.toStdString() +
               "'");
    std::vector<std::vector<std::string>> aPages;
    for (const QString& image :
         QDir(folder.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name)) {
        aPages.push_back(ReadBarcodes(folder.filePath(image)));
    }
    return aPages;
}

// pdftotext's reading of the sheet, with ideographic spaces and runs of blanks taken as one
// blank so that the comparison does not depend on how it lays out the gaps.
std::string SheetText(const QString& pdfPath) {
    std::string strText = RunCommand("pdftotext -layout '" + pdfPath.toStdString() + "' -");
    std::string strCompact;
    for (size_t index = 0; index < strText.size(); ++index) {
        bool bBlank = strText[index] == ' ' || strText[index] == '\n' || strText[index] == '\f';
        if (strText.compare(index, 3, "　") == 0) {
            bBlank = true;
            index += 2;
        }
        if (!bBlank) {
            strCompact += strText[index];
        } else if (!strCompact.empty() && strCompact.back() != ' ') {
            strCompact += ' ';
        }
    }
    return strCompact;
}

// Sixteen entries: a full first page of fifteen and one row on the second.
CFileNo SixteenEntryList() {
    CFileNo list;
    const int aNumbers[] = {1,   7,    10,   11,   42,   99,   100,  256,
                            999, 1000, 1234, 2048, 5000, 8765, 9998, 9999};
    for (int nNo : aNumbers) {
        list.m_aData.push_back(
            {nNo, Cp932("荒加工プログラム_") + Format("%04d.NC", nNo), Cp932("φ10 エンドミル")});
    }
    list.m_aData[3].strEct = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD";
    return list;
}

// The call codes of the sheet, page by page, each page sorted as ReadBarcodes sorts.
std::vector<std::vector<std::string>> CallCodesByPage(const CFileNo& list) {
    std::vector<std::vector<std::string>> aPages((list.m_aData.size() + 14) / 15);
    for (size_t index = 0; index < list.m_aData.size(); ++index) {
        aPages[index / 15].push_back(Format("//%04d", list.m_aData[index].nNo));
    }
    for (std::vector<std::string>& aCodes : aPages) {
        std::sort(aCodes.begin(), aCodes.end());
    }
    return aPages;
}

TEST(ListPrintPdf, NumberSheetBarcodesReadBackAsTheirCallCodes) {
    const CFileNo list = SixteenEntryList();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdfPath = folder.filePath("number.pdf");
    PrintPdf(list, Cp932("第２工場 旋盤 NC-3"), PrintVariant::Number, pdfPath);

    EXPECT_EQ(ScanPages(folder, pdfPath), CallCodesByPage(list));

    const std::string strText = SheetText(pdfPath);
    for (const char* pszExpected :
         {"第２工場 旋盤 NC-3", "番号指定の指示書 ＮＣ装置からの呼び出し → Ｏ[指定番号] Ｐ[No.]",
          "呼出コード", "ファイル名", "備考", "荒加工プログラム_0007.NC", "φ10 エンドミル",
          "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD", "[ 1/ 2]", "[ 2/ 2]"}) {
        EXPECT_NE(strText.find(pszExpected), std::string::npos) << pszExpected;
    }
}

TEST(ListPrintPdf, FileNameSheetBarcodesReadBackAsTheNames) {
    CFileNo list;
    for (const char* pszName : {"O1234.NC", "PART-7", "SHAFT 2$", "lower.nc", "A/B+C%", "Z9"}) {
        list.m_aData.push_back({1, pszName, ""});
    }
    list.m_aData.push_back({1, Cp932("フランジ.NC"), ""});
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdfPath = folder.filePath("filename.pdf");
    PrintPdf(list, "LINE 4", PrintVariant::FileName, pdfPath);

    std::vector<std::string> aExpected = {"O1234.NC", "PART-7", "SHAFT 2$", "A/B+C%", "Z9"};
    std::sort(aExpected.begin(), aExpected.end());
    EXPECT_EQ(ScanPages(folder, pdfPath), std::vector<std::vector<std::string>>{aExpected});

    const std::string strText = SheetText(pdfPath);
    for (const char* pszExpected :
         {"ファイル名指定の指示書 ＮＣ装置からの呼び出し → Ｏ[指定番号]（[ファイル名]）",
          "lower.nc", "フランジ.NC"}) {
        EXPECT_NE(strText.find(pszExpected), std::string::npos) << pszExpected;
    }
}

// The print dialog as the operator meets it on a PC without a print queue: its PDF output is
// there to choose, and the sheet lands in the file named in the dialog.
TEST(ListPrintPdf, ThePrintDialogOffersPdfOutput) {
    QTemporaryDir folder;
    const QString pdfPath = folder.filePath("sheet.pdf");
    bool bChosen = false;
    QTimer dialogWatch;
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        auto* pDialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (pDialog == nullptr || !pDialog->isVisible()) {
            return;
        }
        auto* pPrinters = pDialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* pFileName = pDialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        int nPdf = pPrinters != nullptr
                       ? pPrinters->findText(QStringLiteral("PDF"), Qt::MatchContains)
                       : -1;
        if (nPdf >= 0 && pFileName != nullptr) {
            pPrinters->setCurrentIndex(nPdf);
            pFileName->setText(pdfPath);
            bChosen = true;
            pDialog->accept();
        } else {
            pDialog->reject();
        }
    });
    dialogWatch.start(10);
    CFileNo list;
    list.m_aData = {{7, "PROG7", ""}, {8, "PROG8", ""}};
    CQtUiServices ui;
    PrintFileList(ui, list, "DIALOG", PrintVariant::Number);
    ASSERT_TRUE(bChosen) << "no PDF output in the print dialog";
    ASSERT_TRUE(QFile::exists(pdfPath));
    EXPECT_NE(SheetText(pdfPath).find("PROG8"), std::string::npos);
}

// The preview is reached from the print dialog and painted by the printing routine: the
// operator sees the first page of the sheet with its fifteen barcodes, and after closing the
// preview is back at the print dialog, where cancelling prints nothing.
TEST(ListPrintPdf, ThePreviewShowsTheFirstPageOfTheSheet) {
    const CFileNo list = SixteenEntryList();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString screenshotPath =
        QString::fromStdString(std::string(RZKSET_BINARY_DIR) + "/screenshots/print_preview.png");
    QDir().mkpath(QFileInfo(screenshotPath).path());
    int nPrintDialogs = 0;
    int nPreviewPages = 0;
    std::function<void(QPrintDialog&)> answerPrintDialog = [&](QPrintDialog& dialog) {
        ++nPrintDialogs;
        QPushButton* pPreview = nullptr;
        for (QPushButton* pButton : dialog.findChildren<QPushButton*>()) {
            if (pButton->text().startsWith(QStringLiteral("プレビュー"))) {
                pPreview = pButton;
            }
        }
        if (nPrintDialogs > 1 || pPreview == nullptr) {
            dialog.reject();
            return;
        }
        WhenOpen<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            preview.resize(1400, 1900);
            auto* pView = preview.findChild<QPrintPreviewWidget*>();
            pView->setZoomMode(QPrintPreviewWidget::FitInView);
            QApplication::processEvents();
            nPreviewPages = pView->pageCount();
            pView->grab().save(screenshotPath);
            WhenOpen(answerPrintDialog);
            preview.reject();
        });
        pPreview->click();
    };
    WhenOpen(answerPrintDialog);
    CQtUiServices ui;
    PrintFileList(ui, list, Cp932("第２工場 旋盤 NC-3"), PrintVariant::Number);

    EXPECT_EQ(nPrintDialogs, 2);
    EXPECT_EQ(nPreviewPages, 2);
    EXPECT_EQ(ReadBarcodes(screenshotPath), CallCodesByPage(list)[0]);
}

TEST(ListPrintPdf, ADocumentThatCannotStartIsReportedByItsFile) {
    CFakeUiServices ui;
    ui.AnswerPrinter([&](int, int, PrintRange&) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QStringLiteral("/nonexistent-folder/sheet.pdf"));
        return std::make_unique<CQtPrintTarget>(std::move(printer));
    });
    CFileNo list;
    list.m_aData = {{7, "PROG7", ""}};
    PrintFileList(ui, list, "", PrintVariant::Number);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                              "/nonexistent-folder/sheet.pdfへの印刷を開始できませんでした。"});
}

TEST(ListPrintPdf, ImageTargetMeasuresInTenthsOfAMillimetre) {
    // 300 dpi: 11811 dots per metre; an A4 sheet of 2480 x 3508 dots.
    QImage image(2480, 3508, QImage::Format_RGB32);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    image.fill(Qt::white);
    {
        CQtPrintTarget target(image);
        ASSERT_TRUE(target.StartDocument("RZKSET"));
        target.SetFont(38);
        // The fixed-pitch Japanese face at a 3.8 mm em: half-width and full-width cells.
        EXPECT_EQ(target.TextExtent("W").cx, 19);
        EXPECT_EQ(target.TextExtent(Cp932("漢")).cx, 38);
        EXPECT_GE(target.TextExtent("W").cy, 38);
        EXPECT_LE(target.TextExtent("W").cy, 42);
        target.EndDocument();
    }

    CFileNo list;
    for (int nNo : {3, 77, 4321}) {
        list.m_aData.push_back({nNo, "NAME", ""});
    }
    CFakeUiServices ui;
    ui.AnswerPrinter(
        [&](int, int, PrintRange&) { return std::make_unique<CQtPrintTarget>(image); });
    PrintFileList(ui, list, "IMAGE", PrintVariant::Number);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString imagePath = folder.filePath("sheet.png");
    ASSERT_TRUE(image.save(imagePath));
    EXPECT_EQ(ReadBarcodes(imagePath), (std::vector<std::string>{"//0003", "//0077", "//4321"}));
}

}  // namespace
