#include "platform/IpAddressCtrl.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

CIpAddressCtrl::CIpAddressCtrl(QWidget* pParent) : QWidget(pParent) {
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        if (nIndex > 0) {
            pLayout->addWidget(new QLabel(QStringLiteral("."), this));
        }
        auto* pField = new QLineEdit(this);
        pField->setValidator(new QIntValidator(0, 255, pField));
        pField->setMaxLength(3);
        pField->setAlignment(Qt::AlignCenter);
        pLayout->addWidget(pField);
        m_aFields[nIndex] = pField;
    }
}

void CIpAddressCtrl::SetAddress(const Octets& aOctets) {
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        m_aFields[nIndex]->setText(QString::number(aOctets[nIndex]));
    }
}

CIpAddressCtrl::Octets CIpAddressCtrl::GetAddress() const {
    Octets aOctets{};
    for (size_t nIndex = 0; nIndex < m_aFields.size(); ++nIndex) {
        aOctets[nIndex] = static_cast<unsigned char>(m_aFields[nIndex]->text().toUInt() & 0xFF);
    }
    return aOctets;
}
