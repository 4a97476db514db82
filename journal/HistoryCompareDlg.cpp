#include "journal/HistoryCompareDlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "platform/DialogLayout.h"

namespace {

QPlainTextEdit* ReadOnlyText(QWidget* pParent, const std::string& strText) {
    auto* pEdit = new QPlainTextEdit(QString::fromStdString(strText), pParent);
    pEdit->setReadOnly(true);
    pEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    return pEdit;
}

}  // namespace

CHistoryCompareDlg::CHistoryCompareDlg(const std::string& strKept, const std::string& strCurrent,
                                       const std::string& strDifference, QWidget* pParent)
    : CDialog(pParent) {
    SetUp(QStringLiteral("履歴の比較"), DialogFont(), 480, 280);
    AddLabel(1201, QString::fromStdString(strDifference), 7, 7, 466, 10);
    AddLabel(kNoId, QStringLiteral("履歴の版"), 7, 22, 230, 8);
    AddLabel(kNoId, QStringLiteral("現在"), 243, 22, 230, 8);
    m_pKept = SetItem(1202, ReadOnlyText(this, strKept));
    m_pKept->setGeometry(Units(7, 32, 230, 220));
    m_pCurrent = SetItem(1203, ReadOnlyText(this, strCurrent));
    m_pCurrent->setGeometry(Units(243, 32, 230, 220));
    // Side by side: both scroll together.
    connect(m_pKept->verticalScrollBar(), &QScrollBar::valueChanged,
            m_pCurrent->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_pCurrent->verticalScrollBar(), &QScrollBar::valueChanged,
            m_pKept->verticalScrollBar(), &QScrollBar::setValue);
    connect(AddButton(2, QStringLiteral("閉じる"), 423, 259, 50), &QPushButton::clicked, this,
            &CHistoryCompareDlg::reject);
}
