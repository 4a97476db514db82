#include "app/RZKSETDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AboutDlg.h"
#include "app/Pictures.h"
#include "app/RZKSETApp.h"
#include "app/UsbDriveHandling.h"
#include "fleet/FleetDlg.h"
#include "journal/JournalDlg.h"
#include "journal/JournalScope.h"
#include "maint/HosyuDlg.h"
#include "maint/StoreCheckupOperation.h"
#include "numlist/FKanri2Dlg.h"
#include "numlist/FKanriDlg.h"
#include "numlist/FSousaDlg.h"
#include "platform/DialogLayout.h"
#include "platform/FileDropTarget.h"
#include "platform/MountWatcher.h"
#include "settings/UnitSettingsOperation.h"
#include "transfer/ReceiveOperation.h"
#include "transfer/SampleOperation.h"
#include "transfer/SendOperation.h"

namespace {

// Operations that do not reach the unit and so skip the readiness check.
constexpr int kLocalOperations[] = {1015, 1021, 1023};
// How often files handed over by another start look again whether an operation still runs.
constexpr int kBusyRetryMilliseconds = 500;

QLabel* SunkenDisplay(QWidget* pParent) {
    auto* pLabel = new QLabel(pParent);
    pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pLabel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    pLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    return pLabel;
}

}  // namespace

CRZKSETDlg::CRZKSETDlg(QWidget* pParent) : CDialog(pParent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("RZKSET Version %1").arg(QStringLiteral(RZKSET_VERSION)));
    setWindowIcon(ProgramIcon());
    setFont(DialogFont(QStringLiteral("MS UI Gothic")));
    DefineOperations();
    BuildControls();
    new CFileDropTarget(*Item(1000),
                        [this](const std::vector<std::string>& aPaths) { SendFiles(aPaths); });
}

void CRZKSETDlg::SendFiles(const std::vector<std::string>& aPaths) {
    m_aDroppedFiles = aPaths;
    OnOperation(1000);
    m_aDroppedFiles.clear();
}

void CRZKSETDlg::SendFilesWhenFree(const std::vector<std::string>& aPaths) {
    raise();
    activateWindow();
    QWidget* pModal = QApplication::activeModalWidget();
    if (aPaths.empty()) {
        return;
    }
    if (m_nFrameDepth > 0 || (pModal != nullptr && pModal != this)) {
        QTimer::singleShot(kBusyRetryMilliseconds, this,
                           [this, aPaths] { SendFilesWhenFree(aPaths); });
        return;
    }
    SendFiles(aPaths);
}

CRZKSETDlg::~CRZKSETDlg() = default;

bool CRZKSETDlg::OnInitDialog() {
    CRZKSETApp& app = GetApp();
    app.DeviceEventsEnabled = 1;
    (app.Sousa == 1 ? m_pNetworkOption : m_pUsbOption)->setChecked(true);
    m_pPasvOption->setChecked(app.Pasv != 0);
    SearchUsbDriveAtStartup(app);
    m_pProfileName->setFont(app.NameFont);
    ShowNames();
    ApplyTransportRule();

    m_pMountWatcher = new CMountWatcher("/proc", this);
    connect(m_pMountWatcher, &CMountWatcher::VolumeArrived, this, &CRZKSETDlg::OnVolumeArrived);
    return true;
}

void CRZKSETDlg::BuildControls() {
    auto* pMainLayout = new QVBoxLayout(this);
    auto* pLogo = new QLabel(this);
    pLogo->setPixmap(LogoPicture(devicePixelRatioF()));
    pLogo->setAlignment(Qt::AlignCenter);
    pMainLayout->addWidget(pLogo);

    auto* pFrame = new QGroupBox(this);
    auto* pFrameLayout = new QHBoxLayout(pFrame);
    pMainLayout->addWidget(pFrame);

    auto* pTransportLayout = new QVBoxLayout;
    m_pUsbOption = new QRadioButton(QStringLiteral("ＵＳＢメモリを使っての操作"), pFrame);
    m_pNetworkOption =
        new QRadioButton(QStringLiteral("ネットワークを利用してパソコンから直接操作"), pFrame);
    m_pPasvOption = new QCheckBox(QStringLiteral("接続をPASVで行う"), pFrame);
    m_pTransportGroup = new QButtonGroup(this);
    m_pTransportGroup->addButton(m_pUsbOption, 0);
    m_pTransportGroup->addButton(m_pNetworkOption, 1);
    auto* pUsbPicture = new QLabel(pFrame);
    pUsbPicture->setPixmap(UsbTransportPicture(devicePixelRatioF()));
    auto* pNetworkPicture = new QLabel(pFrame);
    pNetworkPicture->setPixmap(NetworkTransportPicture(devicePixelRatioF()));
    pTransportLayout->addWidget(m_pUsbOption);
    pTransportLayout->addWidget(pUsbPicture);
    pTransportLayout->addSpacing(12);
    pTransportLayout->addWidget(m_pNetworkOption);
    pTransportLayout->addWidget(m_pPasvOption);
    pTransportLayout->addWidget(pNetworkPicture);
    pTransportLayout->addStretch();
    pFrameLayout->addLayout(pTransportLayout);
    SetItem(1002, m_pUsbOption);
    SetItem(1003, m_pNetworkOption);
    SetItem(1009, m_pPasvOption);
    connect(m_pUsbOption, &QRadioButton::clicked, this, &CRZKSETDlg::ApplyTransportRule);
    connect(m_pNetworkOption, &QRadioButton::clicked, this, &CRZKSETDlg::ApplyTransportRule);
    connect(m_pPasvOption, &QCheckBox::clicked, this, &CRZKSETDlg::OnPasv);

    auto* pOperationLayout = new QVBoxLayout;
    auto* pProfileLayout = new QHBoxLayout;
    m_pProfileName = SunkenDisplay(pFrame);
    m_pProfileName->setMinimumHeight(QFontMetrics(GetApp().NameFont).height() + 8);
    auto* pSwitch = MakePushButton(QStringLiteral("切替"), pFrame);
    pProfileLayout->addWidget(m_pProfileName, 1);
    pProfileLayout->addWidget(pSwitch);
    pOperationLayout->addLayout(pProfileLayout);
    SetItem(1024, m_pProfileName);
    SetItem(1023, pSwitch);
    connect(pSwitch, &QPushButton::clicked, this, [this] { OnOperation(1023); });

    struct PictureButton {
        int nId;
        int nBitmapId;
        const char* pszCaption;
    };
    const PictureButton buttons[] = {
        {1000, 125, "ＲＺＫ－７０へＮＣプログラムを登録"},
        {1001, 126, "ＲＺＫ－７０からＮＣプログラムを取り出し"},
        {1004, 140, "ファイル操作"},
        {1008, 136, "番号登録"},
        {1011, 137, "番号取込"},
        {1012, 138, "保守"},
        {1014, 141, "サンプル作成"},
        {1015, 144, "設定"},
        {1013, 139, "設定"},
    };
    auto* pButtonGrid = new QGridLayout;
    int nIndex = 0;
    for (const PictureButton& button : buttons) {
        QAbstractButton* pButton =
            AddPictureButton(button.nId, button.nBitmapId, QString::fromUtf8(button.pszCaption));
        pButtonGrid->addWidget(pButton, nIndex / 3, nIndex % 3);
        ++nIndex;
    }
    pOperationLayout->addLayout(pButtonGrid);
    pOperationLayout->addStretch();
    pFrameLayout->addLayout(pOperationLayout);

    auto* pBottomLayout = new QHBoxLayout;
    auto* pDriveLabel = new QLabel(QStringLiteral("ＵＳＢメモリのドライブ名"), this);
    m_pDriveName = SunkenDisplay(this);
    auto* pChange = MakePushButton(QStringLiteral("変更"), this);
    QAbstractButton* pExit = AddPictureButton(2, 131, QStringLiteral("終了"));
    pBottomLayout->addWidget(pDriveLabel);
    pBottomLayout->addWidget(m_pDriveName, 1, Qt::AlignVCenter);
    pBottomLayout->addWidget(pChange);
    pBottomLayout->addSpacing(24);
    pBottomLayout->addWidget(pExit);
    pMainLayout->addLayout(pBottomLayout);
    SetItem(1005, pDriveLabel);
    SetItem(1022, m_pDriveName);
    SetItem(1021, pChange);
    connect(pChange, &QPushButton::clicked, this, [this] { OnOperation(1021); });
    connect(pExit, &QAbstractButton::clicked, this, &QDialog::reject);

    setMinimumSize(DialogUnitsToPixels(font(), 375, 321));
}

QAbstractButton* CRZKSETDlg::AddPictureButton(int nId, int nBitmapId, const QString& strCaption) {
    QPushButton* pButton = MakePictureButton(this, nBitmapId, strCaption);
    SetItem(nId, pButton);
    if (nId != 2) {
        connect(pButton, &QPushButton::clicked, this, [this, nId] { OnOperation(nId); });
    }
    return pButton;
}

void CRZKSETDlg::DefineOperations() {
    for (int nId : kLocalOperations) {
        m_aOperations[nId].bCheckUnit = false;
    }
    m_aOperations[1000].run = [this] { RunSimpleSend(this, m_aDroppedFiles); };
    m_aOperations[1001].run = [this] { RunSimpleReceive(this); };
    m_aOperations[1014].run = [this] { RunSampleProgram(this); };
    m_aOperations[1004].run = [this] {
        CFSousaDlg dialog(this);
        GetApp().Ui().RunModal(dialog);
    };
    m_aOperations[1008].run = [this] {
        CFKanriDlg dialog(this);
        GetApp().Ui().RunModal(dialog);
    };
    m_aOperations[1013].run = [this] { RunUnitSettings(this); };
    m_aOperations[1023].run = [this] {
        RunProfileSelection(this);
        ShowNames();
    };
    m_aOperations[1011].run = [this] {
        CFKanri2Dlg dialog(this);
        GetApp().Ui().RunModal(dialog);
    };
    m_aOperations[1012].run = [this] {
        CHosyuDlg dialog(this);
        GetApp().Ui().RunModal(dialog);
    };
    m_aOperations[1015].run = [] { PrepareUsbMemory(GetApp()); };
    // The check-up reports a missing marker itself, so it goes without the readiness check.
    m_aOperations[kStoreCheckupCommand].bCheckUnit = false;
    m_aOperations[kStoreCheckupCommand].run = [] { RunStoreCheckup(); };
    // The fleet view asks every unit itself; its rows run their operations in a frame of
    // their own, readiness check included.
    m_aOperations[kFleetCommand].bCheckUnit = false;
    m_aOperations[kFleetCommand].run = [this] {
        CFleetDlg dialog([this](int nId) { OnOperation(nId); }, this);
        connect(&dialog, &CFleetDlg::ProfileChanged, this, &CRZKSETDlg::ShowNames);
        GetApp().Ui().RunModal(dialog);
    };
    m_aOperations[1021].run = [this] {
        if (ChooseUsbDrive(GetApp(), this)) {
            ShowNames();
        }
    };
}

void CRZKSETDlg::ApplyTransportRule() {
    bool bNetwork = m_pNetworkOption->isChecked();
    auto enable = [this](int nId, bool bTransportAllows) {
        bool bBuilt = static_cast<bool>(m_aOperations[nId].run);
        Item(nId)->setEnabled(bTransportAllows && bBuilt);
    };
    enable(1013, !bNetwork);
    enable(1015, !bNetwork);
    m_pPasvOption->setEnabled(bNetwork);
    for (int nId : {1000, 1001, 1004, 1008, 1011, 1012, 1014, 1021, 1023}) {
        enable(nId, true);
    }
    OnPasv();
}

void CRZKSETDlg::OnPasv() {
    CRZKSETApp& app = GetApp();
    app.Sousa = m_pNetworkOption->isChecked() ? 1 : 0;
    app.Pasv = m_pPasvOption->isChecked() ? 1 : 0;
}

void CRZKSETDlg::OnOperation(int nId) {
    const Operation& operation = m_aOperations[nId];
    if (!operation.run) {
        return;
    }
    // The picture buttons carry their caption as their accessible name.
    QWidget* pButton = Item(nId);
    CJournalScope journalScope(pButton != nullptr ? pButton->accessibleName().toStdString() : "");
    CRZKSETApp& app = GetApp();
    app.DeviceEventsEnabled = 0;
    ++m_nFrameDepth;
    if (!operation.bCheckUnit || app.CheckUnit()) {
        operation.run();
    }
    app.ReportJournalFailure();
    m_pMountWatcher->ForgetArrivals();
    // An operation started from the fleet view runs inside the frame of the view, which
    // keeps device arrivals held off until the view closes.
    if (--m_nFrameDepth == 0) {
        app.DeviceEventsEnabled = 1;
    }
}

void CRZKSETDlg::ShowNames() {
    CRZKSETApp& app = GetApp();
    m_pDriveName->setText(QString::fromStdString(app.UsbDriveName));
    m_pProfileName->setText(QString::fromStdString(app.SetFileName));
}

void CRZKSETDlg::OnVolumeArrived(const std::string& strRoot) {
    if (OnVolumeArrival(GetApp(), strRoot)) {
        ShowNames();
    }
}

void CRZKSETDlg::OnAbout() {
    CAboutDlg dialog(this);
    GetApp().Ui().RunModal(dialog);
}

void CRZKSETDlg::contextMenuEvent(QContextMenuEvent* pEvent) {
    // Linux window managers keep the window menu to themselves, so the about entry that the
    // system menu would carry lives in the window's own context menu.
    QMenu menu(this);
    menu.addAction(QStringLiteral("ストアの点検(&C)"), this,
                   [this] { OnOperation(kStoreCheckupCommand); });
    menu.addAction(QStringLiteral("全体表示(&F)…"), this, [this] { OnOperation(kFleetCommand); });
    menu.addAction(QStringLiteral("履歴(&H)…"), this, [this] {
        CJournalDlg dialog(this);
        GetApp().Ui().RunModal(dialog);
    });
    menu.addAction(QStringLiteral("バージョン情報 RZKSET(&A)..."), this, &CRZKSETDlg::OnAbout);
    menu.exec(pEvent->globalPos());
}
