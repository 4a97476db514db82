#include "maint/HosyuDlg.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/RZKSETApp.h"
#include "maint/UnitMaintenance.h"
#include "platform/DialogLayout.h"

CHosyuDlg::CHosyuDlg(QWidget* pParent) : CCommandDlg(pParent) {
    SetUp(QStringLiteral("保守"), DialogFont(), 239, 273);
    m_pReportEdit = SetItem(1044, new QPlainTextEdit(this));
    m_pReportEdit->setGeometry(Units(6, 7, 165, 259));
    m_pReportEdit->setReadOnly(true);
    m_pReportEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pReportEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pReportEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(AddButton(1041, QStringLiteral("保守情報削除"), 182, 181, 50), &QPushButton::clicked,
            this, &CHosyuDlg::OnDeleteMaintenance);
    connect(AddButton(2, QStringLiteral("閉じる"), 182, 239, 50), &QPushButton::clicked, this,
            &CHosyuDlg::reject);
}

CHosyuDlg::~CHosyuDlg() = default;

bool CHosyuDlg::OnInitDialog() {
    auto pBusy = GetApp().Ui().ShowBusy();
    GetApp().Ui().PumpMessages();
    ShowReport();
    pBusy->Close();
    return true;
}

void CHosyuDlg::ShowReport() {
    CRZKSETApp& app = GetApp();
    m_strReport = CollectMaintenanceReport(app.StoreSettings(), app.ExeDir);
    // The edit ends its lines itself; a CR would show as a character of its own.
    QString strShown = QString::fromStdString(m_strReport);
    strShown.remove(QLatin1Char('\r'));
    m_pReportEdit->setPlainText(strShown);
}

void CHosyuDlg::OnDeleteMaintenance() {
    CUiServices& ui = GetApp().Ui();
    if (!ui.QuestionBox("保守情報を削除しますか？", true)) {
        return;
    }
    auto pBusy = ui.ShowBusy();
    DeleteMaintenanceFiles(GetApp().StoreSettings());
    ShowReport();
    pBusy->Close();
}

void CHosyuDlg::OnClose() {
    done(QDialog::Accepted);
}
