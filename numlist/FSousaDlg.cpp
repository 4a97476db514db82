#include "numlist/FSousaDlg.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstddef>
#include <optional>
#include <tuple>

#include "app/RZKSETApp.h"
#include "numlist/CommandFrame.h"
#include "numlist/NamedProgram.h"
#include "numlist/Registration.h"
#include "platform/DialogLayout.h"
#include "platform/FilePattern.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "transfer/TapeCheck.h"
#include "unitstore/StoreAction.h"
#include "unitstore/UnitReadiness.h"

namespace {

const CSetData& SetData() {
    return GetApp().SetData;
}

// What a stopped command finished, for its end message: "A、Bを登録しました。"; empty when
// nothing was.
std::string FinishedFiles(const std::vector<std::string>& aNames, const char* pszWhat) {
    std::string strNames;
    for (const std::string& strName : aNames) {
        strNames += (strNames.empty() ? "" : "、") + strName;
    }
    return strNames.empty() ? strNames : strNames + pszWhat;
}

}  // namespace

CFSousaDlg::CFSousaDlg(QWidget* pParent) : CListDlgBase(pParent, {"", kNamedListFileName}) {
    BuildControls();
}

CFSousaDlg::~CFSousaDlg() = default;

void CFSousaDlg::BuildControls() {
    SetUp(QStringLiteral("ファイル操作"), DialogFont(), 482, 353);
    AddLabel(kNoId, QStringLiteral("印刷タイトル"), 9, 16, 43, 8);
    QLineEdit* pTitleEdit = AddEdit(1013, 53, 13, 212);
    for (auto [pszCaption, nY, nHeight] : {std::tuple{"登録ファイルリスト", 37, 171},
                                           std::tuple{"未登録ファイルリスト", 214, 109}}) {
        auto* pFrame = new QGroupBox(QString::fromUtf8(pszCaption), this);
        pFrame->setGeometry(Units(7, nY, 466, nHeight));
    }
    // Each cover list first, so that its list lies above it.
    CListView* pCoverList = AddList(1026, 15, 52, 392, 151);
    CListView* pFileList = AddList(1022, 15, 52, 392, 151);
    m_pUnregisteredCoverList = AddList(1028, 15, 227, 392, 89);
    m_pUnregisteredList = AddList(1014, 15, 227, 392, 89);
    AttachControls(*pTitleEdit, *pFileList, *pCoverList);

    AddButtons<CFSousaDlg>({
        {1015, "全消去", 415, 14, 50, &CFSousaDlg::OnDeleteAll},
        {1016, "登録", 415, 75, 50, &CFSousaDlg::OnRegister},
        {1023, "取込", 415, 99, 50, &CFSousaDlg::OnTakeIn},
        {1017, "消去", 415, 123, 50, &CFSousaDlg::OnDelete},
        {1018, "備考", 415, 145, 50, &CFSousaDlg::OnRemark},
        {1019, "↑", 415, 169, 22, &CFSousaDlg::OnMoveUp},
        {1020, "↓", 443, 169, 22, &CFSousaDlg::OnMoveDown},
        {1021, "印刷", 415, 190, 50, &CFSousaDlg::OnPrint},
        {1025, "登録", 415, 253, 50, &CFSousaDlg::OnAddUnregistered},
        {1027, "取込", 415, 277, 50, &CFSousaDlg::OnMoveUnregistered},
        {1024, "消去", 415, 301, 50, &CFSousaDlg::OnDeleteUnregistered},
        {2, "閉じる", 415, 328, 50, &CFSousaDlg::reject},
    });
    RegisterDroppedFilesWith([this] { Button(1016).click(); });
}

std::string CFSousaDlg::StoreNameOfListName(const std::string& strListName) const {
    return NamedStoreName(strListName, SetData().ADD_DOT, SetData().DOT);
}

std::string CFSousaDlg::StoreNameOf(const FILENODATA& entry) const {
    return StoreNameOfListName(entry.strName);
}

std::string CFSousaDlg::WriteBackFailureText(const std::string& strPath) const {
    return Format("%s の上書きに失敗しました。", strPath.c_str());
}

std::string CFSousaDlg::WriteBackStoreFailureText(CStoreAction& action) const {
    if (action.Store().HasConnectionFailed() || action.StoreFailureText().empty()) {
        return action.StoreFailureText();
    }
    return "/pub/フォルダ移動に失敗しました。";
}

void CFSousaDlg::FocusAfterRefusedTitle() {
    FileList().setFocus();
}

bool CFSousaDlg::OnInitDialog() {
    m_bModified = false;
    auto pBusy = Ui().ShowBusy();
    std::string strFailure = ReadStore();
    pBusy->Close();
    if (!strFailure.empty()) {
        Ui().WarningBox(strFailure);
        return false;
    }
    m_strTitleEdit = m_fileNo.m_strTitle;
    PutFieldValues();
    SetUpFileLists(GetApp().ListFont,
                   {{"No.", "9999  "},
                    {"ファイル名", "1234567890123    "},
                    {"備考", "1234567890123456789012345678901234567890  "}},
                   [this](int nRow, int nColumn) {
                       return nColumn == 0 && nRow < m_nCount ? Format("%5d", nRow + 1)
                                                              : EntryCellText(nRow, nColumn);
                   });
    SetUpUnregisteredLists();
    RebuildUnregistered();
    return true;
}

std::string CFSousaDlg::ReadStore() {
    if (IsNetwork()) {
        RemoveLocalFile(LocalListPath());
    }
    CStoreAction action(GetApp().StoreSettings(), "");
    CUnitStore& store = action.Store();
    std::optional<std::vector<StoreEntry>> found;
    ListFileRead read;
    if (action.IsOpen()) {
        found = store.FindFiles("*");
        read = ReadListFile(store, found);
        if (read.bAbsent && IsNetwork()) {
            // A unit without a catalogue gets an empty one.
            std::string strSeed = GetApp().ExeDir + "tmp_" + kNamedListFileName;
            CFileNo().Save(strSeed);
            store.PutFile(strSeed, kNamedListFileName);
            RemoveLocalFile(strSeed);
        }
    }
    action.Close();
    if (IsNetwork()) {
        RemoveLocalFile(LocalListPath());
    }
    std::string strFailure = WriteBackStoreFailureText(action);
    if (!strFailure.empty() || !read.strFailure.empty()) {
        return strFailure.empty() ? read.strFailure : strFailure;
    }
    // An unregistered list left empty because the root could not be listed would tell the
    // operator that the store holds no other programs.
    if (!found) {
        return "ストアの一覧を取得できませんでした。";
    }
    TakeCatalogue(read);
    // The listing arrives whole, behind the busy dialog: walking it in memory takes
    // milliseconds, and letting messages run for each of twenty thousand names would cost more.
    std::string strPattern = NamedFilePattern(SetData().ADD_DOT, SetData().DOT);
    for (const StoreEntry& entry : found.value_or(std::vector<StoreEntry>())) {
        if (!entry.bFolder && MatchesFilePattern(entry.strName, strPattern)) {
            m_aUnregistered.push_back(NamedListName(entry.strName, SetData().ADD_DOT));
        }
    }
    SortByBytes(m_aUnregistered);
    return {};
}

void CFSousaDlg::TakeCatalogue(const ListFileRead& read) {
    // A damaged catalogue keeps the entries read before the damage, on either transport; on
    // the memory, one that is missing or holds no entry is written empty at once.
    bool bHoldsNoEntry = read.nLoadResult != CFileNo::LOAD_OK && m_fileNo.m_aData.empty();
    if (IsNetwork() || !(read.bAbsent || bHoldsNoEntry)) {
        return;
    }
    m_fileNo = CFileNo();
    m_fileNo.Save(UsbListPath());
}

void CFSousaDlg::SetUpUnregisteredLists() {
    for (CListView* pList : {m_pUnregisteredList, m_pUnregisteredCoverList}) {
        pList->setFont(GetApp().ListFont);
        pList->AddColumn("No.", "9999  ");
        pList->AddColumn("ファイル名", "1234567890123456789012345678901    ");
    }
    m_pUnregisteredList->SetCellTextSource(
        [this](int nRow, int nColumn) { return UnregisteredCellText(nRow, nColumn); });
    m_pUnregisteredCoverList->hide();
    m_pUnregisteredList->show();
}

std::string CFSousaDlg::UnregisteredCellText(int nRow, int nColumn) const {
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_aUnregistered.size()) {
        return {};
    }
    switch (nColumn) {
        case 0:
            return Format("%5d", nRow + 1);
        case 1:
            return Cp932ToDisplay(m_aUnregistered[static_cast<size_t>(nRow)]);
        default:
            return {};
    }
}

std::unordered_set<std::string> CFSousaDlg::RegisteredNames() const {
    std::unordered_set<std::string> aNames;
    for (int nEntry = 0; nEntry < m_nCount; ++nEntry) {
        aNames.insert(MakeUpper(m_fileNo.m_aData[static_cast<size_t>(nEntry)].strName));
    }
    return aNames;
}

void CFSousaDlg::RebuildUnregistered() {
    const CSetData& setData = SetData();
    RemoveReservedAndRegistered(
        m_aUnregistered,
        {kNamedListFileName, setData.OUT_FILE_NAME, setData.IN_FILE_NAME, kMarkerName},
        m_fileNo.m_aData, static_cast<size_t>(m_nCount));
    m_pUnregisteredList->SetItemCount(static_cast<int>(m_aUnregistered.size()));
    m_pUnregisteredList->SelectFocusAndShow(0);
}

void CFSousaDlg::RemoveUnregistered(int nRow) {
    m_aUnregistered.erase(m_aUnregistered.begin() + nRow);
    m_pUnregisteredList->SetSelected(nRow, false);
    m_pUnregisteredList->DeleteRow(nRow);
}

FileDialogOptions CFSousaDlg::SaveDialogOptions(const std::string& strStoreName) const {
    FileDialogOptions options =
        ProgramFileDialogOptions(SetData().ADD_DOT, SetData().DOT, GetApp().NC_Dir);
    options.strFileName = Cp932ToDisplay(strStoreName);
    return options;
}

void CFSousaDlg::OnRegister() {
    if (!TakeCommandFieldValues()) {
        return;
    }
    CRZKSETApp& app = GetApp();
    CCommandFrame frame(*this, Button(1016), FileList());
    int nPosition = FileList().GetNextSelected(-1);
    if (nPosition < 0) {
        nPosition = BlankRow();
    }
    std::vector<std::string> aFiles = ChooseProgramFiles();
    int nUnregistrable = 0;
    if (!aFiles.empty() && CTapeCheck::ConfirmFiles(Ui(), aFiles, false, app.SetData.REMOTE_NO,
                                                    app.SetData.REMOTE_NO2)) {
        m_bModified = true;
        frame.ShowStoppableBusy();
        app.NC_Dir = FolderOfPath(aFiles.front());
        std::unordered_set<std::string> aRegistered = RegisteredNames();
        std::vector<std::string> aDone;
        CStoreAction action(app.StoreSettings(), "");
        std::string strFailure;
        int nDone = 0;
        for (const std::string& strFile : aFiles) {
            if (!action.IsOpen()) {
                break;
            }
            Ui().PumpMessages();
            CProgress::StartFile(NameOfPath(strFile), nDone++, static_cast<int>(aFiles.size()));
            std::optional<std::string> strListName = ListNameOfFile(strFile, app.SetData.ADD_DOT);
            std::string strName = MakeUpper(strListName.value_or(""));
            if (!strListName || aRegistered.contains(strName) || !IsCode39Name(strName)) {
                ++nUnregistrable;
                continue;
            }
            if (!action.Store().PutFile(strFile, MakeUpper(StoreNameOfListName(*strListName)))) {
                if (action.WasStopped()) {
                    break;
                }
                strFailure = Format("%sの登録に失敗しました。", Cp932ToDisplay(strName).c_str());
                break;
            }
            m_fileNo.m_aData.insert(m_fileNo.m_aData.begin() + nPosition, {1, strName, ""});
            aRegistered.insert(strName);
            aDone.push_back(Cp932ToDisplay(strName));
            ++nPosition;
            ++m_nCount;
            FileList().SetItemCount(m_nCount + 1);
        }
        if (action.WasStopped()) {
            frame.SetMessage(StoppedMessage(FinishedFiles(aDone, "を登録しました。")), false);
        }
        frame.SetMessage(action.Message(strFailure));
        action.Close();
        frame.CloseBusy();
    }
    ShowEntryRows(nPosition);
    if (nUnregistrable > 0) {
        frame.SetMessage(Format("登録できないファイルが%d個ありました。", nUnregistrable));
    }
    RebuildUnregistered();
    frame.End();
}

void CFSousaDlg::OnTakeIn() {
    CRZKSETApp& app = GetApp();
    CCommandFrame frame(*this, Button(1023), FileList());
    std::vector<std::string> aDone;
    for (int nRow = FirstSelectedEntry(); nRow >= 0; nRow = FirstSelectedEntry()) {
        std::string strStoreName = StoreNameOf(m_fileNo.m_aData[static_cast<size_t>(nRow)]);
        std::optional<std::string> path = Ui().SaveFile(SaveDialogOptions(strStoreName));
        if (!path) {
            break;
        }
        m_bModified = true;
        app.NC_Dir = FolderOfPath(*path);
        frame.ShowStoppableBusy();
        StoreCommandResult copied =
            RunStoreCommand(app.StoreSettings(), "",
                            [&](CUnitStore& store) { return store.GetFile(strStoreName, *path); });
        FileList().SetSelected(nRow, false);
        frame.CloseBusy();
        // A stop ends the command: the entries still selected are not offered.
        if (copied.bStopped) {
            frame.SetMessage(StoppedMessage(FinishedFiles(aDone, "を取り込みました。")), false);
            break;
        }
        if (copied.bDone) {
            aDone.push_back(NameOfPath(*path));
        }
        // A copy that failed is reported, and the next selected entry is offered all the same.
        std::string strMessage =
            copied.Message("", Format("%sの登録に失敗しました。", NameOfPath(*path).c_str()));
        if (!strMessage.empty()) {
            Ui().WarningBox(strMessage);
        }
    }
    frame.End();
}

void CFSousaDlg::OnDelete() {
    DeleteSelectedCommand(Button(1017));
}

void CFSousaDlg::OnDeleteAll() {
    if (!Ui().QuestionBox("ＵＳＢメモリ内のＮＣプログラムを消去します。\nよろしいですか？", true)) {
        FileList().setFocus();
        return;
    }
    CCommandFrame frame(*this, Button(1015), FileList());
    frame.Cover(FileList(), CoverList());
    frame.Cover(UnregisteredList(), UnregisteredCoverList());
    m_bModified = true;
    frame.ShowBusy();
    StoreClearing clearing =
        DeleteAllFiles(NamedFilePattern(SetData().ADD_DOT, SetData().DOT), kMarkerName);
    frame.CloseBusy();

    // Without a listing nothing was deleted and both lists stay; otherwise only the programs
    // still on the unit stay listed, so that closing does not drop them from the catalogue.
    if (clearing.bListed) {
        KeepEntriesWithFiles(clearing.aRemaining);
        std::erase_if(m_aUnregistered, [this, &clearing](const std::string& strName) {
            return !clearing.aRemaining.contains(MakeUpper(StoreNameOfListName(strName)));
        });
        m_fileNo.m_strTitle.clear();
        m_strTitleEdit.clear();
    }
    FileList().ClearAllSelection();
    ShowEntryRows(static_cast<int>(m_fileNo.m_aData.size()));
    UnregisteredList().ClearAllSelection();
    UnregisteredList().SetItemCount(static_cast<int>(m_aUnregistered.size()));
    PutFieldValues();

    // A memory that cannot be listed has had nothing tried: that is no empty memory.
    if (!clearing.strStoreFailure.empty()) {
        frame.SetMessage(clearing.strStoreFailure);
    } else if (clearing.bFailed || !clearing.bListed) {
        frame.SetMessage("消去できないファイルがありました。");
    } else if (clearing.nDeleted == 0) {
        frame.SetMessage("消去するファイルがありませんでした。");
    } else {
        frame.SetMessage("消去が終了しました。", false);
    }
    frame.End();
}

void CFSousaDlg::OnRemark() {
    RemarkCommand(Button(1018));
}

void CFSousaDlg::OnMoveUp() {
    MoveUpCommand(Button(1019));
}

void CFSousaDlg::OnMoveDown() {
    MoveDownCommand(Button(1020));
}

void CFSousaDlg::OnPrint() {
    PrintCommand(Button(1021), PrintVariant::FileName);
}

void CFSousaDlg::OnAddUnregistered() {
    if (UnregisteredList().GetNextSelected(-1) < 0) {
        UnregisteredList().setFocus();
        return;
    }
    CCommandFrame frame(*this, Button(1025), UnregisteredList());
    frame.Cover(FileList(), CoverList());
    frame.Cover(UnregisteredList(), UnregisteredCoverList());
    frame.ShowBusy();
    FileList().ClearAllSelection();
    FileList().ClearFocusedRow();
    std::unordered_set<std::string> aRegistered = RegisteredNames();
    while (true) {
        Ui().PumpMessages();
        int nRow = UnregisteredList().GetNextSelected(-1);
        if (nRow < 0) {
            break;
        }
        std::string strName = MakeUpper(m_aUnregistered[static_cast<size_t>(nRow)]);
        if (aRegistered.contains(strName) || !IsCode39Name(strName)) {
            frame.SetMessage(Format("%sの登録に失敗しました。", Cp932ToDisplay(strName).c_str()));
            break;
        }
        m_bModified = true;
        m_fileNo.m_aData.insert(m_fileNo.m_aData.begin() + m_nCount, {1, strName, ""});
        aRegistered.insert(strName);
        ++m_nCount;
        FileList().SetItemCount(m_nCount + 1);
        FileList().EnsureVisible(BlankRow());
        RemoveUnregistered(nRow);
    }
    frame.End();
}

void CFSousaDlg::OnMoveUnregistered() {
    CRZKSETApp& app = GetApp();
    CCommandFrame frame(*this, Button(1027), UnregisteredList());
    for (int nRow = UnregisteredList().GetNextSelected(-1); nRow >= 0 && !frame.HasMessage();
         nRow = UnregisteredList().GetNextSelected(-1)) {
        std::string strStoreName = StoreNameOfListName(m_aUnregistered[static_cast<size_t>(nRow)]);
        std::optional<std::string> path = Ui().SaveFile(SaveDialogOptions(strStoreName));
        if (!path) {
            break;
        }
        app.NC_Dir = FolderOfPath(*path);
        frame.ShowBusy();
        // Each file gets its own connection. The name leaves the list once the PC holds the
        // copy, even when the unit's file could not be deleted: it shows again next time.
        CStoreAction action(app.StoreSettings(), "");
        std::string strFailure;
        if (!action.IsOpen() || !action.Store().GetFile(strStoreName, *path)) {
            strFailure = Format("%sの登録に失敗しました。", NameOfPath(*path).c_str());
        } else {
            if (!action.Store().Remove(strStoreName)) {
                strFailure = "消去に失敗しました。";
            }
            RemoveUnregistered(nRow);
        }
        frame.SetMessage(action.Message(strFailure));
        action.Close();
        frame.CloseBusy();
    }
    frame.End();
}

void CFSousaDlg::OnDeleteUnregistered() {
    if (!TakeFieldValues() || UnregisteredList().GetNextSelected(-1) < 0) {
        UnregisteredList().setFocus();
        return;
    }
    CCommandFrame frame(*this, Button(1024), UnregisteredList());
    frame.Cover(UnregisteredList(), UnregisteredCoverList());
    frame.ShowBusy();
    DeleteFilesOfRows(
        frame, [this] { return UnregisteredList().GetNextSelected(-1); },
        [this](int nRow) {
            return StoreNameOfListName(m_aUnregistered[static_cast<size_t>(nRow)]);
        },
        [this](int nRow) { RemoveUnregistered(nRow); });
    frame.End();
}
