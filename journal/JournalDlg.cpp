#include "journal/JournalDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <set>

#include "app/RZKSETApp.h"
#include "journal/HistoryCompareDlg.h"
#include "journal/JournalRestore.h"
#include "journal/JournalScope.h"
#include "journal/LineTarget.h"
#include "journal/ShopMemory.h"
#include "platform/AtomicFile.h"
#include "platform/DialogLayout.h"
#include "platform/ListView.h"
#include "platform/Text.h"
#include "transfer/ProgramCompare.h"

namespace {

constexpr int kProfileBox = 1101;
constexpr int kOperationBox = 1102;
constexpr int kNameEdit = 1103;
constexpr int kDateEdit = 1104;
constexpr int kList = 1105;
constexpr int kCompareButton = 1106;
constexpr int kRestoreButton = 1107;
constexpr int kSkippedLabel = 1109;

const char* DirectionText(const std::string& strDirection) {
    if (strDirection == JournalRecord::kDirectionToUnit) {
        return "→RZK";
    }
    if (strDirection == JournalRecord::kDirectionToPc) {
        return "→PC";
    }
    if (strDirection == JournalRecord::kDirectionDeleteOnUnit) {
        return "RZK消去";
    }
    return "PC";
}

// A change the operator refused for want of a copy and work the operator stopped both ended
// at the operator's word.
const char* OutcomeText(const std::string& strOutcome) {
    if (strOutcome == JournalRecord::kOutcomeDone) {
        return "完了";
    }
    bool bByOperator = strOutcome == JournalRecord::kOutcomeRefused ||
                       strOutcome == JournalRecord::kOutcomeStopped;
    return bByOperator ? "中止" : "失敗";
}

// "すべて" first, then every value the records hold, in order.
void FillChoices(QComboBox& box, const std::set<std::string>& aValues) {
    box.addItem(QStringLiteral("すべて"));
    for (const std::string& strValue : aValues) {
        box.addItem(QString::fromStdString(strValue));
    }
}

std::string ChosenValue(const QComboBox& box) {
    return box.currentIndex() <= 0 ? std::string() : box.currentText().toStdString();
}

// Kept program bytes for display; a name in code page 932 shows as the operator knows it.
std::string DisplayText(const std::string& strBytes) {
    return Cp932ToDisplay(strBytes);
}

}  // namespace

CJournalDlg::CJournalDlg(QWidget* pParent) : CDialog(pParent) {
    SetUp(QStringLiteral("履歴"), DialogFont(), 560, 300);
    AddLabel(kNoId, QStringLiteral("機械"), 7, 9, 24, 8);
    m_pProfile = SetItem(kProfileBox, new QComboBox(this));
    m_pProfile->setGeometry(Units(32, 7, 90, 14));
    AddLabel(kNoId, QStringLiteral("操作"), 130, 9, 24, 8);
    m_pOperation = SetItem(kOperationBox, new QComboBox(this));
    m_pOperation->setGeometry(Units(155, 7, 150, 14));
    AddLabel(kNoId, QStringLiteral("名前"), 313, 9, 24, 8);
    AddEdit(kNameEdit, 338, 7, 100);
    AddLabel(kNoId, QStringLiteral("日付"), 446, 9, 24, 8);
    QLineEdit* pDate = AddEdit(kDateEdit, 471, 7, 82);
    pDate->setPlaceholderText(QStringLiteral("2026-12-11"));

    m_pList = AddList(kList, 7, 27, 546, 245);
    m_pList->SetCellTextSource([this](int nRow, int nColumn) { return CellText(nRow, nColumn); });
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->AddColumn("日時", "2026-12-11T09:15:02+0900WW");
    m_pList->AddColumn("機械", "１号機１号機");
    m_pList->AddColumn("操作", "ファイル操作 / 全消去全消去");
    m_pList->AddColumn("方向", "RZK消去消去");
    m_pList->AddColumn("RZK", "RzFilesOut/FileList.fnoWW");
    m_pList->AddColumn("PC", "/home/operator/NC/BRACKET-A.NCWWWWW");
    m_pList->AddColumn("サイズ", "12345678");
    m_pList->AddColumn("結果", "完了完了");

    AddButtons<CJournalDlg>({
        {kCompareButton, "比較(&C)", 7, 279, 50, &CJournalDlg::OnCompare},
        {kRestoreButton, "復元(&R)", 63, 279, 50, &CJournalDlg::OnRestore},
        {1108, "CSV出力(&E)", 119, 279, 60, &CJournalDlg::OnExport},
        {2, "閉じる", 503, 279, 50, &CJournalDlg::reject},
    });
    m_pSkipped = AddLabel(kSkippedLabel, QString(), 187, 282, 310, 8);
    connect(m_pProfile, &QComboBox::currentIndexChanged, this, &CJournalDlg::OnFilter);
    connect(m_pOperation, &QComboBox::currentIndexChanged, this, &CJournalDlg::OnFilter);
    connect(&Edit(kNameEdit), &QLineEdit::textChanged, this, &CJournalDlg::OnFilter);
    connect(pDate, &QLineEdit::textChanged, this, &CJournalDlg::OnFilter);
    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CJournalDlg::UpdateButtons);
}

bool CJournalDlg::OnInitDialog() {
    m_pMemory = GetApp().ShopMemory();
    if (m_pMemory == nullptr) {
        return false;
    }
    Reload();
    return true;
}

void CJournalDlg::Reload() {
    int nSkipped = 0;
    m_aRecords = m_pMemory->Journal().ReadAll(&nSkipped);
    // A line that is no record cannot be shown; the operator still learns that it is there.
    m_pSkipped->setText(
        nSkipped == 0 ? QString()
                      : QString::fromStdString(Format("読めない行が%d行ありました。", nSkipped)));
    m_aSoundVersions.clear();
    std::set<std::string> aProfiles;
    std::set<std::string> aOperations;
    for (const JournalRecord& record : m_aRecords) {
        aProfiles.insert(record.strProfile);
        aOperations.insert(record.strOperation);
    }
    QString strProfile = m_pProfile->currentText();
    QString strOperation = m_pOperation->currentText();
    {
        QSignalBlocker profileBlocker(m_pProfile);
        QSignalBlocker operationBlocker(m_pOperation);
        m_pProfile->clear();
        m_pOperation->clear();
        FillChoices(*m_pProfile, aProfiles);
        FillChoices(*m_pOperation, aOperations);
        m_pProfile->setCurrentIndex(std::max(0, m_pProfile->findText(strProfile)));
        m_pOperation->setCurrentIndex(std::max(0, m_pOperation->findText(strOperation)));
    }
    OnFilter();
}

void CJournalDlg::OnFilter() {
    JournalFilter filter;
    filter.strProfile = ChosenValue(*m_pProfile);
    filter.strOperation = ChosenValue(*m_pOperation);
    filter.strName = Edit(kNameEdit).text().toStdString();
    filter.strDate = Edit(kDateEdit).text().toStdString();
    m_aRows = filter.NewestFirst(m_aRecords);
    m_pList->ClearAllSelection();
    m_pList->SetItemCount(static_cast<int>(m_aRows.size()));
    UpdateButtons();
}

const JournalRecord& CJournalDlg::RowRecord(int nRow) const {
    return m_aRecords[static_cast<size_t>(m_aRows[static_cast<size_t>(nRow)])];
}

std::string CJournalDlg::CellText(int nRow, int nColumn) const {
    const JournalRecord& record = RowRecord(nRow);
    switch (nColumn) {
        case 0:
            return record.strTime;
        case 1:
            return record.strProfile;
        case 2:
            return record.strOperation;
        case 3:
            return DirectionText(record.strDirection);
        case 4:
            return record.strUnitName;
        case 5:
            return NameToDisplay(record.strPcPath);
        case 6:
            return std::to_string(record.nSize);
        default:
            return OutcomeText(record.strOutcome);
    }
}

const JournalRecord* CJournalDlg::SelectedRecord() const {
    int nRow = m_pList->GetNextSelected(-1);
    return nRow < 0 || nRow >= ShownRows() ? nullptr : &RowRecord(nRow);
}

void CJournalDlg::UpdateButtons() {
    const JournalRecord* pRecord = SelectedRecord();
    bool bKept = pRecord != nullptr && IsVersionSound(pRecord->strKept);
    Button(kCompareButton).setEnabled(bKept);
    Button(kRestoreButton).setEnabled(bKept);
}

// A version is offered only once its bytes have been read and match its name; each version is
// read once while the window is open.
bool CJournalDlg::IsVersionSound(const std::string& strSha256) const {
    if (strSha256.empty()) {
        return false;
    }
    auto found = m_aSoundVersions.find(strSha256);
    if (found == m_aSoundVersions.end()) {
        found =
            m_aSoundVersions.emplace(strSha256, m_pMemory->History().Load(strSha256).has_value())
                .first;
    }
    return found->second;
}

std::optional<LineTarget> CJournalDlg::TargetOf(const JournalRecord& record) const {
    CRZKSETApp& app = GetApp();
    LineTarget target =
        TargetOfLine(record, app.ProfileFilePath(record.strProfile), app.StoreSettings());
    if (!target.bOk) {
        app.Ui().WarningBox(target.strMessage);
        return std::nullopt;
    }
    return target;
}

void CJournalDlg::OnCompare() {
    const JournalRecord* pRecord = SelectedRecord();
    std::optional<LineTarget> target = pRecord ? TargetOf(*pRecord) : std::nullopt;
    if (!target) {
        return;
    }
    CRZKSETApp& app = GetApp();
    CJournalRestore restore(*m_pMemory, target->settings, target->bAddDot, target->strDot);
    std::optional<std::string> kept = restore.KeptBytes(*pRecord);
    std::unique_ptr<CBusyIndicator> pBusy = app.Ui().ShowBusy();
    std::optional<std::string> current =
        kept ? restore.CurrentBytes(*pRecord) : std::optional<std::string>();
    pBusy->Close();
    if (!kept || !current) {
        app.Ui().WarningBox(!kept ? "履歴にこの版は残っていません。"
                                  : "現在のファイルを読み込めませんでした。");
        return;
    }
    ProgramDifference difference = FirstDifference(*kept, *current);
    CHistoryCompareDlg dialog(
        DisplayText(*kept), DisplayText(*current),
        difference.bDiffers ? DifferenceText(difference) : std::string("違いはありません。"), this);
    app.Ui().RunModal(dialog);
}

void CJournalDlg::OnRestore() {
    const JournalRecord* pRecord = SelectedRecord();
    std::optional<LineTarget> target = pRecord ? TargetOf(*pRecord) : std::nullopt;
    if (!target) {
        return;
    }
    JournalRecord record = *pRecord;
    CRZKSETApp& app = GetApp();
    bool bToPc = CJournalRestore::GoesToPc(record);
    std::string strTarget =
        bToPc ? NameToDisplay(record.strPcPath) : target->strMachine + "の" + record.strUnitName;
    if (!app.Ui().QuestionBox(
            Format("%sを履歴の版に戻します。\nよろしいですか？", strTarget.c_str()), true) ||
        (!bToPc && !app.CheckUnit(target->settings))) {
        return;
    }
    CJournalScope scope("履歴 / 復元");
    std::unique_ptr<CBusyIndicator> pBusy = app.Ui().ShowBusy();
    CJournalRestore restore(*m_pMemory, target->settings, target->bAddDot, target->strDot);
    CJournalRestore::Result result = restore.Restore(record);
    pBusy->Close();
    if (!result.strMessage.empty()) {
        app.Ui().ReportOutcome(result.bOk, result.strMessage);
    }
    Reload();
}

void CJournalDlg::OnExport() {
    CUiServices& ui = GetApp().Ui();
    std::optional<std::string> path =
        ui.SaveFile({"CSV Files (*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*||", "csv", "", "journal.csv"});
    if (!path) {
        return;
    }
    CAtomicFile file(*path);
    bool bWritten = file.Open();
    if (bWritten) {
        file.Write(JournalCsv(m_aRecords, m_aRows));
        bWritten = file.Commit();
    }
    if (!bWritten) {
        ui.WarningBox(Format("%sの書き込みに失敗しました。", path->c_str()));
    }
}
