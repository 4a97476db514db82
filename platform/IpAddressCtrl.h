#pragma once

#include <QWidget>

#include <array>

class QLineEdit;

// An IPv4 address typed as four fields of 0 to 255 with dots between them; a blank field
// counts as 0.
class CIpAddressCtrl : public QWidget {
    Q_OBJECT

public:
    using Octets = std::array<unsigned char, 4>;

    explicit CIpAddressCtrl(QWidget* pParent = nullptr);

    void SetAddress(const Octets& aOctets);
    Octets GetAddress() const;
    // The field of one octet, the first leftmost.
    QLineEdit& Field(int nIndex) const { return *m_aFields[static_cast<size_t>(nIndex)]; }

private:
    std::array<QLineEdit*, 4> m_aFields{};
};
