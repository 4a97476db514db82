#include "platform/WaitDlg.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/DialogLayout.h"

namespace {

// The window that owns a dialog opened now: the open modal dialog if there is one (so a busy
// dialog over a registration dialog disables that dialog), else the main window.
QWidget* SafeOwner(QWidget* pParent) {
    QWidget* pStart = pParent;
    if (pStart == nullptr) {
        pStart = QApplication::activeModalWidget();
    }
    if (pStart == nullptr) {
        pStart = QApplication::activeWindow();
    }
    if (pStart == nullptr) {
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            if (pWidget->isVisible() && pWidget->isWindow()) {
                pStart = pWidget;
                break;
            }
        }
    }
    return pStart != nullptr ? pStart->window() : nullptr;
}

}  // namespace

CWaitDlg::CWaitDlg() : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint) {
    setFont(DialogFont());
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    auto* pText =
        new QLabel(QStringLiteral("ただいま、処理中です。\nしばらくお待ちください。"), this);
    pText->setAlignment(Qt::AlignCenter);
    pText->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pText->setLineWidth(2);
    pLayout->addWidget(pText);
    setFixedSize(DialogUnitsToPixels(font(), 179, 84));
}

CWaitDlg::~CWaitDlg() {
    DestroyWindow();
}

bool CWaitDlg::Create(QWidget* pParent) {
    m_bDisabledOwner = false;
    m_pOwner = SafeOwner(pParent);
    if (m_pOwner != nullptr && m_pOwner->isEnabled()) {
        m_pOwner->setEnabled(false);
        m_bDisabledOwner = true;
    }
    if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
        move(pScreen->availableGeometry().center() - rect().center());
    }
    show();
    if (!isVisible()) {
        if (m_bDisabledOwner && m_pOwner != nullptr) {
            m_pOwner->setEnabled(true);
        }
        m_bDisabledOwner = false;
        return false;
    }
    return true;
}

void CWaitDlg::DestroyWindow() {
    if (m_bDisabledOwner && m_pOwner != nullptr) {
        m_pOwner->setEnabled(true);
    }
    m_bDisabledOwner = false;
    hide();
}

void PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

CWaitIndicator::CWaitIndicator() : m_pDialog(new CWaitDlg) {
    // Without the dialog the operation still runs; it only loses its notice.
    m_pDialog->Create();
    PumpMessages();
}

CWaitIndicator::~CWaitIndicator() {
    Close();
}

void CWaitIndicator::Close() {
    if (m_pDialog != nullptr) {
        m_pDialog->DestroyWindow();
        delete m_pDialog;
        m_pDialog = nullptr;
    }
}
