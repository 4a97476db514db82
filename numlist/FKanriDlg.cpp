#include "numlist/FKanriDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstddef>
#include <optional>
#include <vector>

#include "app/RZKSETApp.h"
#include "numlist/CommandFrame.h"
#include "numlist/FNoInDlg.h"
#include "numlist/ListPrinter.h"
#include "numlist/NumberRegistration.h"
#include "numlist/Registration.h"
#include "platform/DialogLayout.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "transfer/TapeCheck.h"
#include "unitstore/StoreAction.h"

CFKanriDlg::CFKanriDlg(QWidget* pParent) : CListDlgBase(pParent, {kProgramFolder, kListFileName}) {
    BuildControls();
}

CFKanriDlg::~CFKanriDlg() = default;

void CFKanriDlg::BuildControls() {
    SetUp(QStringLiteral("番号登録"), DialogFont(), 471, 315);
    AddLabel(kNoId, QStringLiteral("印刷タイトル"), 9, 16, 43, 8);
    QLineEdit* pTitleEdit = AddEdit(1028, 53, 13, 212);
    AddLabel(kNoId, QStringLiteral("ファイルリスト"), 9, 38, 60, 8);
    // The cover list first, so that the file list lies above it.
    CListView* pCoverList = AddList(1034, 7, 51, 392, 245);
    CListView* pFileList = AddList(1029, 7, 51, 392, 245);
    AttachControls(*pTitleEdit, *pFileList, *pCoverList);

    AddButtons<CFKanriDlg>({
        {1032, "全消去", 411, 71, 50, &CFKanriDlg::OnDeleteAll},
        {1033, "登録", 411, 94, 50, &CFKanriDlg::OnRegister},
        {1031, "消去", 411, 117, 50, &CFKanriDlg::OnDelete},
        {1030, "備考", 411, 140, 50, &CFKanriDlg::OnRemark},
        {1036, "↑", 411, 164, 22, &CFKanriDlg::OnMoveUp},
        {1037, "↓", 439, 164, 22, &CFKanriDlg::OnMoveDown},
        {1035, "印刷", 411, 229, 50, &CFKanriDlg::OnPrint},
        {2, "閉じる", 411, 283, 50, &CFKanriDlg::reject},
    });
    RegisterDroppedFilesWith([this] { Button(1033).click(); });
}

std::string CFKanriDlg::CellText(int nRow, int nColumn) const {
    if (nColumn == 0 && nRow >= 0 && nRow < m_nCount &&
        static_cast<size_t>(nRow) < m_fileNo.m_aData.size()) {
        return Format("%5d", m_fileNo.m_aData[static_cast<size_t>(nRow)].nNo);
    }
    return EntryCellText(nRow, nColumn);
}

std::string CFKanriDlg::StoreNameOf(const FILENODATA& entry) const {
    return ProgramFileName(entry.nNo);
}

std::string CFKanriDlg::WriteBackFailureText(const std::string&) const {
    return NumberListWriteFailureText();
}

bool CFKanriDlg::OnInitDialog() {
    m_bModified = false;
    auto pBusy = Ui().ShowBusy();
    std::string strFailure = OpenNumberList(m_fileNo);
    pBusy->Close();
    // A list that is there but could not be read must not open as an empty one: closing would
    // write that over it, and its programs would lose their entries.
    if (!strFailure.empty()) {
        Ui().WarningBox(strFailure);
        return false;
    }
    m_strTitleEdit = m_fileNo.m_strTitle;
    PutFieldValues();
    SetUpFileLists(GetApp().ListFont,
                   {{"No.", "9999  "},
                    {"ファイル名", "1234567890123456789012345678901    "},
                    {"備考", "1234567890123456789012345678901234567890  "}},
                   [this](int nRow, int nColumn) { return CellText(nRow, nColumn); });
    return true;
}

void CFKanriDlg::OnRegister() {
    if (!TakeFieldValues()) {
        return;
    }
    CRZKSETApp& app = GetApp();
    CCommandFrame frame(*this, Button(1033), FileList());

    int nSelected = FileList().GetNextSelected(-1);
    for (int nRow = FileList().GetNextSelected(nSelected); nRow >= 0;
         nRow = FileList().GetNextSelected(nRow)) {
        FileList().SetSelected(nRow, false);
    }
    RegistrationStart start = ProposeRegistration(m_fileNo, nSelected);
    size_t nPosition = start.nPosition;

    std::vector<std::string> aFiles = ChooseProgramFiles();
    CFNoInDlg numberDlg(start.nNo, this);
    if (!aFiles.empty() && Ui().RunModal(numberDlg) == QDialog::Accepted &&
        CTapeCheck::ConfirmFiles(Ui(), aFiles, false, app.SetData.REMOTE_NO,
                                 app.SetData.REMOTE_NO2)) {
        m_bModified = true;
        frame.ShowStoppableBusy();
        app.NC_Dir = FolderOfPath(aFiles.front());

        CStoreAction action(app.StoreSettings(), kProgramFolder);
        const size_t nFirstPosition = nPosition;
        std::string strFailure = RegisterNumberedFiles(
            action, m_fileNo, aFiles, numberDlg.m_nNo, nPosition, [this, &nPosition](size_t nAt) {
                // The view keeps its selection by row: the entry that was selected moves down
                // with each insertion and is selected again at the end.
                FileList().SetSelected(static_cast<int>(nAt), false);
                FileList().SetSelected(static_cast<int>(nAt) + 1, false);
                nPosition = nAt + 1;
            });
        if (action.WasStopped()) {
            const int nRegistered = static_cast<int>(nPosition - nFirstPosition);
            frame.SetMessage(
                StoppedMessage(RegisteredNumbers(numberDlg.m_nNo, numberDlg.m_nNo + nRegistered)),
                false);
        }
        frame.SetMessage(action.Message(strFailure));
        action.Close();
        frame.CloseBusy();
    }
    ShowEntryRows(static_cast<int>(nPosition));
    frame.End();
}

void CFKanriDlg::OnDelete() {
    if (!TakeFieldValues()) {
        return;
    }
    if (FirstSelectedEntry() < 0) {
        return;
    }
    m_bModified = true;
    DeleteSelectedCommand(Button(1031));
}

void CFKanriDlg::OnDeleteAll() {
    if (!TakeFieldValues()) {
        return;
    }
    if (!Ui().QuestionBox(
            "登録されている全てのＮＣプログラムを消去します。\n消去してもよろしいですか？", true)) {
        return;
    }
    CCommandFrame frame(*this, Button(1032), FileList());
    frame.Cover(FileList(), CoverList());
    frame.ShowBusy();

    // The programs still on the unit afterwards keep their entries, so that a later
    // registration cannot take their numbers and overwrite them unseen.
    StoreClearing clearing = DeleteAllFiles("*.fno", "");
    if (clearing.bListed) {
        m_bModified = true;
    }
    std::string strOwn =
        !clearing.bListed || clearing.bFailed ? "消去できないファイルがありました。" : "";
    frame.SetMessage(clearing.strStoreFailure.empty() ? strOwn : clearing.strStoreFailure);
    frame.CloseBusy();

    // Without a listing nothing was deleted, and the list stays as it was.
    if (clearing.bListed) {
        KeepEntriesWithFiles(clearing.aRemaining);
        m_fileNo.m_strTitle = m_strTitleEdit;
        FileList().ClearAllSelection();
        m_nCount = static_cast<int>(m_fileNo.m_aData.size());
        ShowEntryRows(BlankRow());
    }
    frame.SetMessage("消去が終了しました。", false);
    frame.End();
}

void CFKanriDlg::OnRemark() {
    RemarkCommand(Button(1030));
}

void CFKanriDlg::OnMoveUp() {
    MoveUpCommand(Button(1036));
}

void CFKanriDlg::OnMoveDown() {
    MoveDownCommand(Button(1037));
}

void CFKanriDlg::OnPrint() {
    PrintCommand(Button(1035), PrintVariant::Number);
}
