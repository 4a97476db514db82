#pragma once

#include <string>

#include "platform/Dialog.h"

class QPlainTextEdit;

// A kept version beside what stands in its place now, with the first line where they differ.
class CHistoryCompareDlg : public CDialog {
    Q_OBJECT

public:
    // Texts in UTF-8 for display; strDifference says where they first differ.
    CHistoryCompareDlg(const std::string& strKept, const std::string& strCurrent,
                       const std::string& strDifference, QWidget* pParent = nullptr);

    QPlainTextEdit& KeptText() const { return *m_pKept; }
    QPlainTextEdit& CurrentText() const { return *m_pCurrent; }

private:
    QPlainTextEdit* m_pKept = nullptr;
    QPlainTextEdit* m_pCurrent = nullptr;
};
