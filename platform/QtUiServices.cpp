#include "platform/QtUiServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

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

// "*.NC" becomes "*.[Nn][Cc]"; "*.*" becomes "*".
QString CaseInsensitivePattern(const QString& strPattern) {
    if (strPattern == QStringLiteral("*.*")) {
        return QStringLiteral("*");
    }
    QString strResult;
    for (QChar character : strPattern) {
        if (character.isLetter() && character.toLower() != character.toUpper()) {
            strResult += QStringLiteral("[%1%2]").arg(character.toUpper(), character.toLower());
        } else {
            strResult += character;
        }
    }
    return strResult;
}

void PrepareFileDialog(QFileDialog& dialog, const FileDialogOptions& options) {
    dialog.setNameFilter(QtFileFilter(options.strFilter));
    if (!options.strDefaultExtension.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(options.strDefaultExtension));
    }
    if (!options.strInitialFolder.empty()) {
        dialog.setDirectory(QString::fromStdString(options.strInitialFolder));
    }
}

}  // namespace

QString QtFileFilter(const std::string& strFilter) {
    QStringList parts = QString::fromStdString(strFilter).split(QLatin1Char('|'));
    QStringList filters;
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
            patterns << CaseInsensitivePattern(strPattern.trimmed());
        }
        filters << QStringLiteral("%1(%2)").arg(strDescription, patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
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

std::unique_ptr<CPrintTarget> CQtUiServices::ChoosePrinter(int nMinPage, int nMaxPage,
                                                           PrintRange& range) {
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setFromTo(nMinPage, nMaxPage);
    QPrintDialog dialog(pPrinter.get(), ActiveWindow());
    dialog.setMinMax(nMinPage, nMaxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    bool bRange = pPrinter->printRange() == QPrinter::PageRange;
    range.nFromPage = bRange ? pPrinter->fromPage() : nMinPage;
    range.nToPage = bRange ? pPrinter->toPage() : nMaxPage;
    return std::make_unique<CQtPrintTarget>(std::move(pPrinter));
}

std::unique_ptr<CBusyIndicator> CQtUiServices::ShowBusy() {
    return std::make_unique<CWaitIndicator>();
}

void CQtUiServices::PumpMessages() {
    ::PumpMessages();
}
