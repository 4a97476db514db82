#include "numlist/FKanri2Dlg.h"

#include <QPushButton>

#include <cstddef>
#include <optional>

#include "app/RZKSETApp.h"
#include "numlist/CommandFrame.h"
#include "numlist/ImportList.h"
#include "numlist/NumberImport.h"
#include "numlist/Registration.h"
#include "platform/DialogLayout.h"
#include "platform/ListView.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "unitstore/StoreAction.h"

CFKanri2Dlg::CFKanri2Dlg(QWidget* pParent) : CCommandDlg(pParent) {
    BuildControls();
}

CFKanri2Dlg::~CFKanri2Dlg() = default;

void CFKanri2Dlg::BuildControls() {
    SetUp(QStringLiteral("番号取込"), DialogFont(), 137, 283);
    AddLabel(kNoId, QStringLiteral("ファイルリスト"), 21, 13, 50, 8);
    m_pFileList = AddList(1041, 21, 26, 41, 245);

    AddButtons<CFKanri2Dlg>({
        {1038, "全消去", 74, 45, 50, &CFKanri2Dlg::OnDeleteAll},
        {1040, "取込", 74, 71, 50, &CFKanri2Dlg::OnImport},
        {1039, "消去", 74, 97, 50, &CFKanri2Dlg::OnDelete},
        {2, "閉じる", 74, 258, 50, &CFKanri2Dlg::reject},
    });
}

CUiServices& CFKanri2Dlg::Ui() const {
    return GetApp().Ui();
}

bool CFKanri2Dlg::OnInitDialog() {
    FileList().setFont(GetApp().ListFont);
    FileList().AddColumn("No.", "9999  ");
    FileList().SetCellTextSource([this](int nRow, int nColumn) {
        bool bRow = nColumn == 0 && nRow >= 0 && static_cast<size_t>(nRow) < m_aNo.size();
        return bRow ? Format("%5d", m_aNo[static_cast<size_t>(nRow)]) : std::string();
    });

    auto pBusy = Ui().ShowBusy();
    CStoreAction action(GetApp().StoreSettings(), kWaitingFolder);
    std::vector<std::string> aNames;
    // A folder that cannot be entered or listed holds nothing to import.
    if (std::optional<std::vector<StoreEntry>> found =
            action.IsOpen() ? action.Store().FindFiles("*.fno") : std::nullopt) {
        for (const StoreEntry& entry : *found) {
            Ui().PumpMessages();
            if (!entry.bFolder) {
                aNames.push_back(entry.strName);
            }
        }
    }
    action.Close();
    pBusy->Close();
    if (action.Store().HasConnectionFailed()) {
        Ui().WarningBox(action.Store().ConnectionFailureMessage());
        return false;
    }
    m_aNo = ListWaitingPrograms(aNames);
    FileList().SetItemCount(static_cast<int>(m_aNo.size()));
    return true;
}

void CFKanri2Dlg::ShowRows(int nRow) {
    FileList().SetItemCount(static_cast<int>(m_aNo.size()));
    FileList().SelectFocusAndShow(nRow);
}

void CFKanri2Dlg::RemoveNumberAt(int nRow) {
    m_aNo.erase(m_aNo.begin() + nRow);
}

void CFKanri2Dlg::OnImport() {
    int nRow = FileList().GetNextSelected(-1);
    if (nRow < 0) {
        return;
    }
    CRZKSETApp& app = GetApp();
    CCommandFrame frame(*this, Button(1040), FileList());
    std::optional<std::string> path =
        Ui().SaveFile(ProgramFileDialogOptions(app.SetData.ADD_DOT, app.SetData.DOT, app.NC_Dir));
    if (!path) {
        return;
    }
    app.NC_Dir = FolderOfPath(*path);
    std::string strFileName = path->substr(app.NC_Dir.size());
    frame.ShowStoppableBusy();

    ProgramImport outcome =
        ImportWaitingProgram(m_aNo[static_cast<size_t>(nRow)], *path, strFileName);
    if (outcome.bTaken) {
        RemoveNumberAt(nRow);
    }
    frame.SetMessage(outcome.strMessage, !outcome.bDone && !outcome.bStopped);
    ShowRows(nRow);
}

void CFKanri2Dlg::OnDelete() {
    int nRow = FileList().GetNextSelected(-1);
    if (nRow < 0) {
        return;
    }
    if (!Ui().QuestionBox("未取込のＮＣプログラムです。\n消去してもよろしいですか？", true)) {
        return;
    }
    CCommandFrame frame(*this, Button(1039), FileList());
    frame.ShowBusy();
    CStoreAction action(GetApp().StoreSettings(), kWaitingFolder);
    std::string strFailure;
    if (action.IsOpen()) {
        if (!action.Store().Remove(ProgramFileName(m_aNo[static_cast<size_t>(nRow)]))) {
            strFailure = "消去に失敗しました。";
        }
        RemoveNumberAt(nRow);
    }
    frame.SetMessage(action.Message(strFailure));
    action.Close();
    ShowRows(nRow);
}

void CFKanri2Dlg::OnDeleteAll() {
    if (m_aNo.empty()) {
        return;
    }
    if (!Ui().QuestionBox("未取込のＮＣプログラムがあります。\n消去してもよろしいですか？", true)) {
        return;
    }
    CCommandFrame frame(*this, Button(1038), FileList());
    frame.ShowBusy();
    CStoreAction action(GetApp().StoreSettings(), kWaitingFolder);
    bool bInFolder = action.IsOpen();
    // Every program file goes, also those whose names were never listed; a folder that cannot
    // be listed has had nothing deleted.
    std::optional<std::vector<StoreEntry>> found =
        bInFolder ? action.Store().FindFiles("*.fno") : std::nullopt;
    bool bAllRemoved = found.has_value();
    std::vector<std::string> aNames;
    for (const StoreEntry& entry : found.value_or(std::vector<StoreEntry>())) {
        if (!entry.bFolder) {
            aNames.push_back(entry.strName);
        }
    }
    action.Store().RemoveEach(aNames, [&](const std::string&, bool bRemoved) {
        Ui().PumpMessages();
        bAllRemoved = bAllRemoved && bRemoved;
        return true;
    });
    bool bReachedUnit = action.StoreFailureText().empty();
    frame.SetMessage(
        action.Message(bAllRemoved ? "消去が終了しました。" : "消去できないファイルがありました。"),
        !(bAllRemoved && bReachedUnit));
    action.Close();
    // A refused folder change deleted nothing, and the list stays as it was.
    if (bInFolder || action.Store().HasConnectionFailed()) {
        m_aNo.clear();
        FileList().SetItemCount(0);
    }
}

void CFKanri2Dlg::OnClose() {
    done(QDialog::Accepted);
}
