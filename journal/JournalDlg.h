#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "journal/JournalFilter.h"
#include "journal/JournalRecord.h"
#include "journal/LineTarget.h"
#include "platform/Dialog.h"

class CListView;
class CShopMemory;
class QComboBox;
class QLabel;

// The journal window: every line of the journal, newest first, filtered by profile,
// operation, name and date as the operator types; the shown rows exported as CSV; the kept
// version of a line compared with the current one and restored.
class CJournalDlg : public CDialog {
    Q_OBJECT

public:
    explicit CJournalDlg(QWidget* pParent = nullptr);

    bool OnInitDialog() override;
    void OnFilter();
    void OnCompare();  // 1106
    void OnRestore();  // 1107
    void OnExport();   // 1108

    CListView& List() const { return *m_pList; }
    QComboBox& ProfileBox() const { return *m_pProfile; }
    QComboBox& OperationBox() const { return *m_pOperation; }
    // The record shown in the row.
    const JournalRecord& RowRecord(int nRow) const;
    int ShownRows() const { return static_cast<int>(m_aRows.size()); }

private:
    void Reload();
    std::string CellText(int nRow, int nColumn) const;
    // The record of the selected row; nullptr when none is selected.
    const JournalRecord* SelectedRecord() const;
    void UpdateButtons();
    bool IsVersionSound(const std::string& strSha256) const;
    // Where the line's version goes back; nullopt after telling the operator why it cannot.
    std::optional<LineTarget> TargetOf(const JournalRecord& record) const;

    CShopMemory* m_pMemory = nullptr;
    CListView* m_pList = nullptr;
    QComboBox* m_pProfile = nullptr;
    QComboBox* m_pOperation = nullptr;
    QLabel* m_pSkipped = nullptr;  // how many lines of the journal are no records
    std::vector<JournalRecord> m_aRecords;
    std::vector<int> m_aRows;
    mutable std::map<std::string, bool> m_aSoundVersions;  // by SHA-256: read and matching
};
