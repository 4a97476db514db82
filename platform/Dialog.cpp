#include "platform/Dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/DialogLayout.h"
#include "platform/ListView.h"

CDialog::CDialog(QWidget* pParent) : QDialog(pParent) {}

int CDialog::exec() {
    if (!OnInitDialog()) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

bool CDialog::OnInitDialog() {
    return true;
}

QWidget* CDialog::Item(int nId) const {
    auto found = m_aItems.find(nId);
    return found != m_aItems.end() ? found->second : nullptr;
}

QPushButton& CDialog::Button(int nId) const {
    return *qobject_cast<QPushButton*>(m_aItems.at(nId));
}

QLineEdit& CDialog::Edit(int nId) const {
    return *qobject_cast<QLineEdit*>(m_aItems.at(nId));
}

void CDialog::SetUp(const QString& strCaption, const QFont& font, int nWidth, int nHeight) {
    setWindowTitle(strCaption);
    setFont(font);
    m_designSize = DialogUnitsToPixels(font, nWidth, nHeight);
    setFixedSize(m_designSize);
}

void CDialog::setVisible(bool bVisible) {
    if (bVisible && !m_bFitted && !m_designSize.isEmpty()) {
        m_bFitted = true;
        QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
        FitInto(screen()->availableGeometry().size().shrunkBy(frame));
    }
    QDialog::setVisible(bVisible);
}

void CDialog::FitInto(const QSize& room) {
    if (m_designSize.width() <= room.width() && m_designSize.height() <= room.height()) {
        return;
    }
    // The controls keep their places on a page of the dialog's own size; a control that is
    // hidden stays hidden when it changes parent.
    auto* pPage = new QWidget;
    pPage->setFixedSize(m_designSize);
    for (QWidget* pChild : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!pChild->isWindow()) {
            pChild->setParent(pPage);
        }
    }
    auto* pScrollArea = new QScrollArea(this);
    pScrollArea->setFrameShape(QFrame::NoFrame);
    pScrollArea->setWidget(pPage);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(pScrollArea);
    setMinimumSize(0, 0);
    setMaximumSize(m_designSize);
    resize(m_designSize.boundedTo(room));
}

QRect CDialog::Units(int nX, int nY, int nWidth, int nHeight) const {
    return DialogUnitsToPixels(font(), nX, nY, nWidth, nHeight);
}

template <class Control>
Control* CDialog::Place(int nId, Control* pControl, int nX, int nY, int nWidth, int nHeight) {
    pControl->setGeometry(Units(nX, nY, nWidth, nHeight));
    return SetItem(nId, pControl);
}

QPushButton* CDialog::AddButton(int nId, const QString& strCaption, int nX, int nY, int nWidth,
                                int nHeight) {
    return Place(nId, MakePushButton(strCaption, this), nX, nY, nWidth, nHeight);
}

QLabel* CDialog::AddLabel(int nId, const QString& strText, int nX, int nY, int nWidth,
                          int nHeight) {
    return Place(nId, new QLabel(strText, this), nX, nY, nWidth, nHeight);
}

QLineEdit* CDialog::AddEdit(int nId, int nX, int nY, int nWidth, int nHeight) {
    return Place(nId, new QLineEdit(this), nX, nY, nWidth, nHeight);
}

QCheckBox* CDialog::AddCheckBox(int nId, const QString& strCaption, int nX, int nY, int nWidth,
                                int nHeight) {
    return Place(nId, new QCheckBox(strCaption, this), nX, nY, nWidth, nHeight);
}

CListView* CDialog::AddList(int nId, int nX, int nY, int nWidth, int nHeight) {
    return Place(nId, new CListView(this), nX, nY, nWidth, nHeight);
}
