#include "app/DriveSelDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/DialogLayout.h"
#include "platform/DriveTable.h"
#include "unitstore/UsbDriveCheck.h"

CDriveSelDlg::CDriveSelDlg(const CDriveTable& drives, QWidget* pParent)
    : QDialog(pParent), m_drives(drives) {
    setWindowTitle(QStringLiteral("ドライブ選択"));
    setFont(DialogFont());
    auto* pLayout = new QHBoxLayout(this);
    m_pDriveList = new QComboBox(this);
    m_pDriveList->setObjectName(QStringLiteral("1007"));
    pLayout->addWidget(m_pDriveList, 1, Qt::AlignTop);
    auto* pButtons = new QVBoxLayout;
    auto* pOk = MakePushButton(QStringLiteral("OK"), this);
    pOk->setDefault(true);
    auto* pCancel = MakePushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pLayout->addLayout(pButtons);
    setMinimumSize(DialogUnitsToPixels(font(), 187, 47));
    connect(pOk, &QPushButton::clicked, this, &CDriveSelDlg::OnOK);
    connect(pCancel, &QPushButton::clicked, this, &CDriveSelDlg::OnCancel);
}

int CDriveSelDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CDriveSelDlg::OnInitDialog() {
    m_nSelect = -1;
    m_aDrive.clear();
    m_pDriveList->clear();
    for (const DriveVolume& volume : m_drives.Volumes()) {
        if (!IsUsableUsbDrive(m_drives, volume.strRoot)) {
            continue;
        }
        if (volume.strRoot == m_strDrive) {
            m_nSelect = static_cast<int>(m_aDrive.size());
        }
        m_aDrive.push_back({volume.strRoot, volume.strDisplayName});
        m_pDriveList->addItem(QString::fromStdString(volume.strDisplayName));
    }
    if (m_aDrive.size() == 1) {
        m_nSelect = 0;
    }
    m_pDriveList->setCurrentIndex(m_nSelect);
}

void CDriveSelDlg::OnOK() {
    m_nSelect = m_pDriveList->currentIndex();
    accept();
}

void CDriveSelDlg::OnCancel() {
    reject();
}
