#include "platform/WaitDlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/DialogLayout.h"
#include "platform/StopRequest.h"

namespace {

const QString kNotice = QStringLiteral("ただいま、処理中です。\nしばらくお待ちください。");
// Transfers smaller than this end before their bytes could be read.
constexpr std::uint64_t kLargeTransferBytes = 1024 * 1024;
// Progress is painted at most this often, so that painting costs no transfer time.
constexpr qint64 kProgressIntervalMilliseconds = 100;

QString Megabytes(std::uint64_t nBytes) {
    return QString::number(static_cast<double>(nBytes) / (1024.0 * 1024.0), 'f', 1) +
           QStringLiteral(" MB");
}

// The lines under the notice; a long file name is shortened in its middle to the width.
QStringList ProgressLines(const CProgress::State& state, const QFontMetrics& metrics, int nWidth) {
    QStringList aLines;
    if (!state.strFileName.empty()) {
        aLines << metrics.elidedText(QString::fromStdString(state.strFileName), Qt::ElideMiddle,
                                     nWidth);
    }
    if (state.nFilesTotal > 0) {
        aLines << QStringLiteral("%1 / %2 %3")
                      .arg(state.nFilesDone)
                      .arg(state.nFilesTotal)
                      .arg(QString::fromStdString(state.strCountUnit));
    }
    if (std::max(state.nBytesDone, state.nBytesTotal) >= kLargeTransferBytes) {
        aLines << (state.nBytesTotal > 0 ? Megabytes(state.nBytesDone) + QStringLiteral(" / ") +
                                               Megabytes(state.nBytesTotal)
                                         : Megabytes(state.nBytesDone));
    }
    return aLines;
}

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

CWaitDlg::CWaitDlg(std::function<void()> onStop)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), m_onStop(std::move(onStop)) {
    setFont(DialogFont());
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    m_pText = new QLabel(kNotice, this);
    m_pText->setAlignment(Qt::AlignCenter);
    m_pText->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_pText->setLineWidth(2);
    m_pText->setTextFormat(Qt::PlainText);
    pLayout->addWidget(m_pText);
    if (!m_onStop) {
        setFixedSize(DialogUnitsToPixels(font(), 179, 84));
        return;
    }
    m_pStop = new QPushButton(QStringLiteral("中止"), this);
    m_pStop->setFixedSize(DialogUnitsToPixels(font(), 50, 14));
    pLayout->addWidget(m_pStop, 0, Qt::AlignHCenter);
    pLayout->addSpacing(DialogUnitsToPixels(font(), 0, 4).height());
    connect(m_pStop, &QPushButton::clicked, this, &CWaitDlg::OnStop);
    // The window behind is disabled and may be a modal dialog itself: only a modal window of
    // its own keeps the button from being blocked by it.
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(DialogUnitsToPixels(font(), 179, 104));
}

void CWaitDlg::reject() {
    if (m_onStop) {
        OnStop();
    } else {
        QDialog::reject();
    }
}

// The work ends at its next step and takes the dialog down then; pressing again asks nothing
// more.
void CWaitDlg::OnStop() {
    if (m_pStop->isEnabled()) {
        m_pStop->setEnabled(false);
        m_onStop();
    }
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

void CWaitDlg::ShowProgress(const CProgress::State& state) {
    const int nMargin = m_pText->fontMetrics().averageCharWidth() * 2;
    const QStringList aLines =
        ProgressLines(state, m_pText->fontMetrics(), m_pText->contentsRect().width() - nMargin);
    m_pText->setText(aLines.isEmpty()
                         ? kNotice
                         : kNotice + QStringLiteral("\n\n") + aLines.join(QLatin1Char('\n')));
    // repaint, not update: the work holds the thread, and running the event loop here would
    // also deliver input and timers in the middle of it.
    m_pText->repaint();
}

void PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The work holds the window thread: while it asks whether to stop, the window messages run,
// so that the button and Esc come through. Everything behind the dialog is disabled; socket
// notifiers wait, so that no mount change is taken up in the middle of the work.
CWaitIndicator::CWaitIndicator(bool bCanStop)
    : m_pStopRequest(bCanStop ? std::make_unique<CStopRequest>([] {
          QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
      })
                              : nullptr),
      m_pDialog(new CWaitDlg(bCanStop ? std::function<void()>([this] { m_pStopRequest->Request(); })
                                      : std::function<void()>())),
      m_progress([this](const CProgress::State& state) { OnProgress(state); }) {
    m_heldBackTimer.setSingleShot(true);
    QObject::connect(&m_heldBackTimer, &QTimer::timeout, [this] {
        if (m_pDialog != nullptr && m_pDialog->isVisible()) {
            Show(m_heldBack);
        }
    });
    // Without the dialog the operation still runs; it only loses its notice.
    m_pDialog->Create();
    PumpMessages();
}

CWaitIndicator::~CWaitIndicator() {
    Close();
}

void CWaitIndicator::OnProgress(const CProgress::State& state) {
    if (m_pDialog == nullptr || !m_pDialog->isVisible()) {
        return;
    }
    // The bytes of a large transfer show from its start, whenever the last painting was.
    const bool bBytesAppear =
        !m_bShowsBytes && std::max(state.nBytesDone, state.nBytesTotal) >= kLargeTransferBytes;
    if (!bBytesAppear && m_sinceShown.isValid() &&
        m_sinceShown.elapsed() < kProgressIntervalMilliseconds) {
        m_heldBack = state;
        if (!m_heldBackTimer.isActive()) {
            m_heldBackTimer.start(
                static_cast<int>(kProgressIntervalMilliseconds - m_sinceShown.elapsed()));
        }
        return;
    }
    Show(state);
}

void CWaitIndicator::Show(const CProgress::State& state) {
    m_heldBackTimer.stop();
    m_pDialog->ShowProgress(state);
    m_bShowsBytes = std::max(state.nBytesDone, state.nBytesTotal) >= kLargeTransferBytes;
    m_sinceShown.start();
}

void CWaitIndicator::Close() {
    m_pStopRequest.reset();
    if (m_pDialog != nullptr) {
        m_pDialog->DestroyWindow();
        delete m_pDialog;
        m_pDialog = nullptr;
    }
}
