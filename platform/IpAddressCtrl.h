#pragma once

#include <QWidget>

#include <array>

class CUiServices;
class QKeyEvent;
class QLineEdit;

// An IPv4 address typed as four fields of 0 to 255 with dots between them; a blank field
// counts as 0. A "." moves on to the next field, Backspace at the start of a field goes back
// to the one before, three digits move on by themselves, and a dotted address pasted into any
// field fills all four. A field above 255 is refused when it is left and when the address is
// taken, so that no value is ever cut down behind the operator's back.
class CIpAddressCtrl : public QWidget {
    Q_OBJECT

public:
    using Octets = std::array<unsigned char, 4>;

    explicit CIpAddressCtrl(CUiServices& ui, QWidget* pParent = nullptr);

    void SetAddress(const Octets& aOctets);
    // The four octets; false, after the warning and with the field focused and selected, when
    // a field holds more than 255.
    bool TakeAddress(Octets& aOctets);
    // The field of one octet, the first leftmost.
    QLineEdit& Field(int nIndex) const { return *m_aFields[static_cast<size_t>(nIndex)]; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    int IndexOf(const QObject* pField) const;
    bool OnFieldKey(int nIndex, const QKeyEvent& keyEvent);
    void MoveTo(int nIndex, bool bSelect);
    // Fills the fields from a pasted text "a.b.c.d" (fewer parts fill the first fields);
    // false when the text is no dotted address, for the field to take it as typed text.
    bool PasteAddress(const QString& strText);
    bool IsInRange(int nIndex) const;
    void RefuseField(int nIndex);

    CUiServices& m_ui;
    std::array<QLineEdit*, 4> m_aFields{};
};
