#include "platform/IpAddressCtrl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "platform/Text.h"
#include "platform/UiServices.h"

namespace {

constexpr int kMaxOctet = 255;
constexpr int kDigits = 3;

int FieldValue(const QLineEdit& field) {
    return field.text().toInt();
}

}  // namespace

CIpAddressCtrl::CIpAddressCtrl(CUiServices& ui, QWidget* pParent) : QWidget(pParent), m_ui(ui) {
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    // Up to three digits stay in a field whatever their value: a value above 255 is refused
    // with a message rather than swallowed key by key.
    static const QRegularExpression digits(QStringLiteral("[0-9]{0,3}"));
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        if (nIndex > 0) {
            pLayout->addWidget(new QLabel(QStringLiteral("."), this));
        }
        auto* pField = new QLineEdit(this);
        pField->setValidator(new QRegularExpressionValidator(digits, pField));
        pField->setMaxLength(kDigits);
        pField->setAlignment(Qt::AlignCenter);
        pField->installEventFilter(this);
        pLayout->addWidget(pField);
        m_aFields[nIndex] = pField;
        int nField = static_cast<int>(nIndex);
        connect(pField, &QLineEdit::textEdited, this, [this, nField, pField](const QString& text) {
            if (text.size() == kDigits && pField->cursorPosition() == kDigits &&
                nField + 1 < static_cast<int>(m_aFields.size()) && IsInRange(nField)) {
                MoveTo(nField + 1, true);
            }
        });
    }
}

void CIpAddressCtrl::SetAddress(const Octets& aOctets) {
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        m_aFields[nIndex]->setText(QString::number(aOctets[nIndex]));
    }
}

bool CIpAddressCtrl::TakeAddress(Octets& aOctets) {
    Octets aTaken{};
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        if (!IsInRange(static_cast<int>(nIndex))) {
            RefuseField(static_cast<int>(nIndex));
            return false;
        }
        aTaken[nIndex] = static_cast<unsigned char>(FieldValue(*m_aFields[nIndex]));
    }
    aOctets = aTaken;
    return true;
}

int CIpAddressCtrl::IndexOf(const QObject* pField) const {
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        if (m_aFields[nIndex] == pField) {
            return static_cast<int>(nIndex);
        }
    }
    return -1;
}

bool CIpAddressCtrl::IsInRange(int nIndex) const {
    return FieldValue(Field(nIndex)) <= kMaxOctet;
}

void CIpAddressCtrl::RefuseField(int nIndex) {
    m_ui.WarningBox(Format("%dは使用できない値です。\n0～255の数値を入力して下さい。",
                           FieldValue(Field(nIndex))));
    MoveTo(nIndex, true);
}

void CIpAddressCtrl::MoveTo(int nIndex, bool bSelect) {
    QLineEdit& field = Field(nIndex);
    field.setFocus(Qt::OtherFocusReason);
    if (bSelect) {
        field.selectAll();
    } else {
        field.end(false);
    }
}

bool CIpAddressCtrl::PasteAddress(const QString& strText) {
    static const QRegularExpression address(
        QStringLiteral("^\\s*([0-9]{0,3})(?:\\.([0-9]{0,3}))(?:\\.([0-9]{0,3}))?"
                       "(?:\\.([0-9]{0,3}))?\\s*$"));
    QRegularExpressionMatch match = address.match(strText);
    if (!match.hasMatch()) {
        return false;
    }
    for (int nIndex = 0; nIndex < static_cast<int>(m_aFields.size()); ++nIndex) {
        Field(nIndex).setText(match.captured(nIndex + 1));
    }
    MoveTo(match.lastCapturedIndex() - 1, false);
    return true;
}

bool CIpAddressCtrl::OnFieldKey(int nIndex, const QKeyEvent& keyEvent) {
    QLineEdit& field = Field(nIndex);
    if (keyEvent.matches(QKeySequence::Paste)) {
        return PasteAddress(QApplication::clipboard()->text());
    }
    // The dot of the main keys and of the numeric keypad alike.
    if (keyEvent.key() == Qt::Key_Period || keyEvent.text() == QStringLiteral(".")) {
        if (!field.text().isEmpty() && nIndex + 1 < static_cast<int>(m_aFields.size())) {
            MoveTo(nIndex + 1, true);
        }
        return true;
    }
    if (keyEvent.key() == Qt::Key_Backspace && nIndex > 0 && field.cursorPosition() == 0 &&
        !field.hasSelectedText()) {
        MoveTo(nIndex - 1, false);
        return true;
    }
    return false;
}

bool CIpAddressCtrl::eventFilter(QObject* pWatched, QEvent* pEvent) {
    int nIndex = IndexOf(pWatched);
    if (nIndex < 0) {
        return QWidget::eventFilter(pWatched, pEvent);
    }
    if (pEvent->type() == QEvent::KeyPress) {
        return OnFieldKey(nIndex, *static_cast<QKeyEvent*>(pEvent));
    }
    if (pEvent->type() == QEvent::FocusOut) {
        auto* pFocusEvent = static_cast<QFocusEvent*>(pEvent);
        // Another window taking the focus does not leave the field; a click on a button
        // leaves the decision to the button's command (OK refuses, cancel discards).
        bool bLeft = pFocusEvent->reason() != Qt::ActiveWindowFocusReason &&
                     pFocusEvent->reason() != Qt::PopupFocusReason &&
                     !(pFocusEvent->reason() == Qt::MouseFocusReason &&
                       qobject_cast<QAbstractButton*>(QApplication::focusWidget()) != nullptr);
        if (bLeft && !IsInRange(nIndex)) {
            RefuseField(nIndex);
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
