#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "app/Pictures.h"
#include "platform/DialogLayout.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : CDialog(pParent) {
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFont(DialogFont(QStringLiteral("MS Shell Dlg"), 8));
    auto* pLayout = new QGridLayout(this);
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(ProgramIcon().pixmap(32, 32));
    pLayout->addWidget(pIcon, 0, 0, 2, 1, Qt::AlignTop);
    pLayout->addWidget(new QLabel(QStringLiteral("RZKSET Version %1").arg(RZKSET_VERSION), this), 0,
                       1);
    pLayout->addWidget(new QLabel(QStringLiteral("Copyright (C) 2026 RZKSET developers"), this), 1,
                       1);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    pLayout->addWidget(pButtons, 2, 0, 1, 2);
}
