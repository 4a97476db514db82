#include "platform/QtUiServices.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTranslator>

#include "platform/Dialog.h"
#include "platform/QtPrintTarget.h"
#include "platform/WaitDlg.h"

namespace {

const QString kCaption = QStringLiteral("RZKSET");

QWidget* ActiveWindow() {
    if (QWidget* pModal = QApplication::activeModalWidget()) {
        return pModal;
    }
    return QApplication::activeWindow();
}

void ShowBox(QMessageBox::Icon icon, const std::string& strText) {
    QMessageBox box(icon, kCaption, QString::fromStdString(strText), QMessageBox::Ok,
                    ActiveWindow());
    box.exec();
}

// Qt's file dialog shows each type as its filter string; Windows shows a label and matches with
// patterns that may differ from it. Only "*.*" needs another pattern here: Windows takes files
// without an extension too (NC programs often have none), Qt only with "*". Qt already
// matches without regard to case.
QString QtPattern(const QString& strPattern) {
    return strPattern == QStringLiteral("*.*") ? QStringLiteral("*") : strPattern;
}

void PrepareFileDialog(QFileDialog& dialog, const FileDialogOptions& options) {
    // Qt's own dialog, so that its texts follow the program's translations and its type list
    // can carry the program's labels.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    std::vector<QtFileType> aTypes = QtFileTypes(options.strFilter);
    QStringList filters;
    for (const QtFileType& type : aTypes) {
        filters << type.strFilter;
    }
    dialog.setNameFilters(filters);
    if (auto* pTypeList = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int nIndex = 0; nIndex < pTypeList->count() && nIndex < std::ssize(aTypes); ++nIndex) {
            pTypeList->setItemText(nIndex, aTypes[static_cast<size_t>(nIndex)].strLabel);
        }
    }
    if (!options.strDefaultExtension.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(options.strDefaultExtension));
    }
    if (!options.strInitialFolder.empty()) {
        dialog.setDirectory(QString::fromStdString(options.strInitialFolder));
    }
}

enum class PrintChoice { Cancel, Print, Preview };

// The print dialog, with a preview button beside its own. The preview leaves the dialog as
// printing does, so the printer, file and page range chosen apply to the preview too.
PrintChoice ChoosePrinter(QPrinter& printer, int nMinPage, int nMaxPage) {
    QPrintDialog dialog(&printer, ActiveWindow());
    dialog.setMinMax(nMinPage, nMaxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    // Qt's PDF output stands where Windows lists its PDF printer: without it a PC with no
    // print queue would offer nothing to print on.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    bool bPreview = false;
    if (auto* pButtons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* pPreview =
            pButtons->addButton(QStringLiteral("プレビュー(&V)..."), QDialogButtonBox::ActionRole);
        pPreview->setAutoDefault(false);
        QObject::connect(pPreview, &QPushButton::clicked, &dialog, [&dialog, &bPreview] {
            bPreview = true;
            dialog.accept();
        });
    }
    if (dialog.exec() != QDialog::Accepted) {
        return PrintChoice::Cancel;
    }
    return bPreview ? PrintChoice::Preview : PrintChoice::Print;
}

PrintRange ChosenRange(const QPrinter& printer, int nMinPage, int nMaxPage) {
    if (printer.printRange() != QPrinter::PageRange) {
        return {nMinPage, nMaxPage};
    }
    return {printer.fromPage(), printer.toPage()};
}

// The preview paints with the same routine as printing. Its own print button paints once
// more on the printer; true when it did, false when the operator closed the preview.
bool Preview(QPrinter& printer, int nMinPage, int nMaxPage,
             const CUiServices::SheetPainter& paint) {
    QPrintPreviewDialog preview(&printer, ActiveWindow());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* pPrinter) {
                         CQtPrintTarget target(*pPrinter);
                         paint(target, ChosenRange(*pPrinter, nMinPage, nMaxPage));
                     });
    return preview.exec() == QDialog::Accepted;
}

}  // namespace

std::vector<QtFileType> QtFileTypes(const std::string& strFilter) {
    QStringList parts = QString::fromStdString(strFilter).split(QLatin1Char('|'));
    std::vector<QtFileType> aTypes;
    for (qsizetype index = 0; index + 1 < parts.size(); index += 2) {
        if (parts[index].isEmpty()) {
            break;
        }
        QString strDescription = parts[index];
        qsizetype open = strDescription.lastIndexOf(QLatin1Char('('));
        if (open >= 0) {
            strDescription.truncate(open);
        }
        QStringList patterns;
        for (const QString& strPattern : parts[index + 1].split(QLatin1Char(';'))) {
            patterns << QtPattern(strPattern.trimmed());
        }
        aTypes.push_back({parts[index], QStringLiteral("%1(%2)").arg(
                                            strDescription, patterns.join(QLatin1Char(' ')))});
    }
    return aTypes;
}

void CQtUiServices::WarningBox(const std::string& strText) {
    ShowBox(QMessageBox::Warning, strText);
}

void CQtUiServices::MessageBox(const std::string& strText) {
    ShowBox(QMessageBox::NoIcon, strText);
}

void CQtUiServices::InformationBox(const std::string& strText) {
    ShowBox(QMessageBox::Information, strText);
}

bool CQtUiServices::QuestionBox(const std::string& strText, bool bDefaultNo,
                                bool bInformationIcon) {
    QMessageBox box(bInformationIcon ? QMessageBox::Information : QMessageBox::Question, kCaption,
                    QString::fromStdString(strText), QMessageBox::Yes | QMessageBox::No,
                    ActiveWindow());
    box.setDefaultButton(bDefaultNo ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool CQtUiServices::QuestionDuringWork(const std::string& strText, bool bDefaultNo) {
    std::vector<QPointer<CWaitDlg>> aAside;
    for (QWidget* pWindow : QApplication::topLevelWidgets()) {
        auto* pWait = qobject_cast<CWaitDlg*>(pWindow);
        if (pWait != nullptr && pWait->isVisible()) {
            pWait->DestroyWindow();
            aAside.emplace_back(pWait);
        }
    }
    bool bYes = QuestionBox(strText, bDefaultNo, false);
    for (const QPointer<CWaitDlg>& pWait : aAside) {
        if (pWait != nullptr) {
            pWait->ShowAgain();
        }
    }
    return bYes;
}

void CQtUiServices::ReportWithDetails(bool bOk, const std::string& strText,
                                      const std::string& strDetails) {
    QMessageBox box(bOk ? QMessageBox::Information : QMessageBox::Warning, kCaption,
                    QString::fromStdString(strText), QMessageBox::Ok, ActiveWindow());
    box.setDetailedText(QString::fromStdString(strDetails));
    box.exec();
}

bool CQtUiServices::WarningQuestionBox(const std::string& strText, const std::string& strDetails) {
    QMessageBox box(QMessageBox::Warning, kCaption, QString::fromStdString(strText),
                    QMessageBox::Yes | QMessageBox::No, ActiveWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setDetailedText(QString::fromStdString(strDetails));
    return box.exec() == QMessageBox::Yes;
}

std::vector<std::string> CQtUiServices::OpenFiles(const FileDialogOptions& options) {
    QFileDialog dialog(ActiveWindow());
    PrepareFileDialog(dialog, options);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    std::vector<std::string> aPaths;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString& strPath : dialog.selectedFiles()) {
            aPaths.push_back(strPath.toStdString());
        }
    }
    return aPaths;
}

std::optional<std::string> CQtUiServices::SaveFile(const FileDialogOptions& options) {
    QFileDialog dialog(ActiveWindow());
    PrepareFileDialog(dialog, options);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!options.strFileName.empty()) {
        dialog.selectFile(QString::fromStdString(options.strFileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> CQtUiServices::BrowseFolder(const std::string& strTitle,
                                                       const std::string& strInitialFolder) {
    QString strFolder = QFileDialog::getExistingDirectory(
        ActiveWindow(), QString::fromStdString(strTitle), QString::fromStdString(strInitialFolder),
        QFileDialog::ShowDirsOnly);
    if (strFolder.isEmpty()) {
        return std::nullopt;
    }
    return strFolder.toStdString();
}

void CQtUiServices::Print(int nMinPage, int nMaxPage, const SheetPainter& paint) {
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setFromTo(nMinPage, nMaxPage);
    for (;;) {
        switch (ChoosePrinter(*pPrinter, nMinPage, nMaxPage)) {
            case PrintChoice::Cancel:
                return;
            case PrintChoice::Print: {
                const PrintRange range = ChosenRange(*pPrinter, nMinPage, nMaxPage);
                CQtPrintTarget target(std::move(pPrinter));
                paint(target, range);
                return;
            }
            case PrintChoice::Preview:
                if (Preview(*pPrinter, nMinPage, nMaxPage, paint)) {
                    return;
                }
                break;
        }
    }
}

void InstallJapaneseTranslations() {
    static QTranslator translator;
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator);
    }
}

int CQtUiServices::RunModal(CDialog& dialog) {
    return dialog.exec();
}

std::unique_ptr<CBusyIndicator> CQtUiServices::ShowBusy() {
    return std::make_unique<CWaitIndicator>();
}

std::unique_ptr<CBusyIndicator> CQtUiServices::ShowStoppableBusy() {
    return std::make_unique<CWaitIndicator>(true);
}

void CQtUiServices::PumpMessages() {
    ::PumpMessages();
}
