#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fleet/UnitStatus.h"
#include "platform/Dialog.h"
#include "settings/SetData.h"

class CListView;
class CUnitWorkers;

// The fleet view ("全体表示"): one row per machine profile of Data/, each unit asked on a
// connection of its own, at most CUnitWorkers::kDefaultMaxThreads at a time, its row filled
// in as its answer comes. Over the USB memory only the current profile has a row, since one
// memory is in the PC at a time. A row can be made the current profile, its number import or
// file operations opened, and the same programs sent to the units of several rows.
class CFleetDlg : public CDialog {
    Q_OBJECT

public:
    // The columns of the list, in their order.
    enum Column {
        kName,
        kAddress,
        kState,
        kWaiting,
        kNumbered,
        kNamed,
        kDetail,
        kSendResult,
        kLastJournal
    };

    // runOperation runs a main-window operation (1004, 1011) on the current profile, inside
    // the operation frame.
    CFleetDlg(std::function<void(int)> runOperation, QWidget* pParent = nullptr);
    ~CFleetDlg() override;

    // Reads the profiles and starts asking their units.
    bool OnInitDialog() override;
    void OnRefresh();     // 1001: asks every unit again
    void OnSelect();      // 1002: the selected row becomes the current profile
    void OnImport();      // 1003: current profile, then the number import
    void OnOperations();  // 1004: current profile, then the file operations
    void OnSend();        // 1005: files to the unit of every selected row

    // Every way of closing stops the asking and joins its threads first.
    void done(int nResult) override;

    struct Row {
        std::string strName;  // UTF-8, as the folder holds it
        CSetData setData;
        bool bLoaded = false;  // the profile read without fault
        bool bAnswered = false;
        UnitStatus status;
        std::string strSendResult;   // UTF-8; empty before a send
        std::string strLastJournal;  // time of the profile's newest journal line, if any
    };
    const std::vector<Row>& Rows() const { return m_aRows; }
    CListView& List() const { return *m_pList; }
    // Whether units are still being asked.
    bool IsAsking() const;
    CUnitWorkers& StatusWorkers() const { return *m_pStatusWorkers; }

signals:
    // The current profile changed (the main window shows its name).
    void ProfileChanged();

private:
    void ReadRows();
    void ReadLastJournalTimes();
    std::string CellText(int nRow, int nColumn) const;
    UnitStoreSettings SettingsOf(const Row& row, const std::atomic<bool>* pCancel) const;
    // The staging folder of the work of one row, in ExeDir.
    std::string StagingFolder(const char* pszWork, int nRow) const;
    // Makes the selected row the current profile; false, after saying so, unless exactly one
    // row is selected.
    bool SelectRow();
    std::vector<int> SelectedRows() const;

    std::function<void(int)> m_runOperation;
    std::vector<Row> m_aRows;
    CListView* m_pList = nullptr;
    CUnitWorkers* m_pStatusWorkers = nullptr;
    CUnitWorkers* m_pSendWorkers = nullptr;
    QMetaObject::Connection m_statusConnection;
};
