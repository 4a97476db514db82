#include "app/DriveSelDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/DialogLayout.h"
#include "platform/DriveTable.h"
#include "unitstore/UsbDriveCheck.h"

CDriveSelDlg::CDriveSelDlg(const CDriveTable& drives, QWidget* pParent)
    : CDialog(pParent), m_drives(drives) {
    setWindowTitle(QStringLiteral("ドライブ選択"));
    setFont(DialogFont());
    auto* pLayout = new QHBoxLayout(this);
    m_pDriveList = SetItem(1007, new QComboBox(this));
    pLayout->addWidget(m_pDriveList, 1, Qt::AlignTop);
    auto* pButtons = new QVBoxLayout;
    QPushButton* pOk = SetItem(1, MakePushButton(QStringLiteral("OK"), this));
    pOk->setDefault(true);
    QPushButton* pCancel = SetItem(2, MakePushButton(QStringLiteral("ｷｬﾝｾﾙ"), this));
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pLayout->addLayout(pButtons);
    setMinimumSize(DialogUnitsToPixels(font(), 187, 47));
    connect(pOk, &QPushButton::clicked, this, &CDriveSelDlg::OnOK);
    connect(pCancel, &QPushButton::clicked, this, &CDriveSelDlg::OnCancel);
}

bool CDriveSelDlg::OnInitDialog() {
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
    return true;
}

void CDriveSelDlg::OnOK() {
    m_nSelect = m_pDriveList->currentIndex();
    accept();
}

void CDriveSelDlg::OnCancel() {
    reject();
}
