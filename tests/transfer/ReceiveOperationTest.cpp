#include "transfer/ReceiveOperation.h"

#include <fcntl.h>

#include <QLabel>
#include <QLineEdit>

#include <chrono>

#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/FullDisk.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/OBunkaiDlg.h"
#include "transfer/SelInTypeDlg.h"

namespace {

using BoxKind = CFakeUiServices::BoxKind;

const std::string kTape = "%\r\nO0001\r\nG00 X0\r\nM30\r\nO0002\r\nM30\r\n%\r\n";

class ReceiveTest : public TransferTest {
protected:
    void ChooseNormal() {
        ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnNormal(); });
    }
    // Chooses the split into the folder name under the base folder picked with the browser.
    void ChooseSplit(const std::string& strFolderName) {
        ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnSplit(); });
        ExpectDialog<COBunkaiDlg>(Ui(), [this, strFolderName](COBunkaiDlg& dialog) {
            std::string strBase = m_pc.Path();
            Ui().AnswerBrowseFolder(strBase.substr(0, strBase.size() - 1));
            dialog.OnBrowse();
            dialog.FolderNameEdit().setText(QString::fromStdString(strFolderName));
            dialog.OnOK();
        });
    }
    const CFakeUiServices::Box& OnlyBox() {
        EXPECT_EQ(Ui().Boxes().size(), 1u);
        return Ui().Boxes().back();
    }
};

TEST_P(ReceiveTest, NormalReceiveSavesTheInputFileWhereChosen) {
    for (bool bAddDot : {false, true}) {
        App().SetData.ADD_DOT = bAddDot;
        std::string strInputName = bAddDot ? "RZKIN.NC" : "RZKIN";
        PutInStore(strInputName, kTape + strInputName);
        App().NC_Dir = "/previous/";
        Ui().ClearRecord();
        Ui().AnswerSaveFile(m_pc / "saved.nc");
        ChooseNormal();
        RunSimpleReceive(nullptr);

        EXPECT_EQ(ReadBytes(m_pc / "saved.nc"), kTape + strInputName);
        EXPECT_EQ(OnlyBox().kind, BoxKind::Message);
        // The second time the file is there and the last line tells how it changed.
        EXPECT_EQ(OnlyBox().strText,
                  bAddDot ? "saved.ncの登録が正常終了しました。\n"
                            "以前のファイルと違います（8行目「RZKIN」→「RZKIN.NC」）。"
                          : "saved.ncの登録が正常終了しました。");
        EXPECT_EQ(App().NC_Dir, m_pc.Path());
        ASSERT_EQ(Ui().FileDialogs().size(), 1u);
        const FileDialogOptions& options = Ui().FileDialogs()[0];
        EXPECT_EQ(options.strInitialFolder, "/previous/");
        EXPECT_EQ(options.strFileName, "");
        EXPECT_EQ(options.strFilter, bAddDot ? "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||"
                                             : "すべてのﾌｧｲﾙ (*.*)|*.*||");
        EXPECT_EQ(options.strDefaultExtension, bAddDot ? "NC" : "");
    }
    EXPECT_TRUE(IsInStore("RZKIN")) << "the unit's input file stays";
}

TEST_P(ReceiveTest, SameNameReadsTheOutputFile) {
    App().SetData.SAME = true;
    PutInStore("RZKOUT", kTape);
    Ui().AnswerSaveFile(m_pc / "saved.nc");
    ChooseNormal();
    RunSimpleReceive(nullptr);

    EXPECT_EQ(ReadBytes(m_pc / "saved.nc"), kTape);
}

TEST_P(ReceiveTest, SplitReceiveWritesOneFilePerProgram) {
    for (bool bAddDot : {false, true}) {
        App().SetData.ADD_DOT = bAddDot;
        App().SetData.DOT = "TXT";
        std::string strInputName = bAddDot ? "RZKIN.TXT" : "RZKIN";
        std::string strSuffix = bAddDot ? ".TXT" : ".NC";
        PutInStore(strInputName, kTape);
        // The folder may exist already, and files of the same names are replaced.
        std::filesystem::remove_all(m_pc / "IN");
        std::filesystem::create_directory(m_pc / "IN");
        WriteBytes(m_pc / "IN/O0001" + strSuffix, "EARLIER");
        App().NC_Dir = "/previous/";
        Ui().ClearRecord();
        ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnSplit(); });
        ExpectDialog<COBunkaiDlg>(Ui(), [&](COBunkaiDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle().toStdString(), "プログラム番号別保存");
            EXPECT_EQ(dialog.m_pBaseFolderDisplay->text().toStdString(), "/previous/");
            EXPECT_EQ(dialog.FolderNameEdit().text().toStdString(), "IN");
            EXPECT_EQ(dialog.ExtensionEdit().text().toStdString(), bAddDot ? "TXT" : "NC");
            EXPECT_EQ(dialog.ExtensionEdit().isEnabled(), !bAddDot);
            // An empty folder name keeps the dialog open.
            dialog.FolderNameEdit().clear();
            dialog.OnOK();
            EXPECT_TRUE(dialog.isVisible());
            std::string strBase = m_pc.Path();
            Ui().AnswerBrowseFolder(strBase.substr(0, strBase.size() - 1));
            dialog.OnBrowse();
            EXPECT_EQ(dialog.m_pBaseFolderDisplay->text().toStdString(), m_pc.Path());
            dialog.FolderNameEdit().setText(QStringLiteral("IN"));
            dialog.OnOK();
        });
        RunSimpleReceive(nullptr);

        EXPECT_EQ(FolderEntries(m_pc / "IN"),
                  (std::set<std::string>{"O0001" + strSuffix, "O0002" + strSuffix}));
        EXPECT_EQ(ReadBytes(m_pc / "IN/O0001" + strSuffix), "%\r\nO0001\r\nG00 X0\r\nM30\r\n%");
        EXPECT_EQ(ReadBytes(m_pc / "IN/O0002" + strSuffix), "%\r\nO0002\r\nM30\r\n%");
        ASSERT_EQ(Ui().Boxes().size(), 2u);
        EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
        EXPECT_EQ(Ui().Boxes()[0].strText, "フォルダ名を入力してください");
        EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Message);
        EXPECT_EQ(Ui().Boxes()[1].strText,
                  "登録が正常終了しました。\n"
                  "置き換えた1ファイルのうち1ファイルが以前と違います。\nO0001" +
                      strSuffix + " 1行目「EARLIER」→「%」");
        ASSERT_EQ(Ui().FileDialogs().size(), 1u);
        EXPECT_EQ(Ui().FileDialogs()[0].strFileName, "フォルダの選択");
        EXPECT_EQ(Ui().FileDialogs()[0].strInitialFolder, "/previous/");
        EXPECT_EQ(App().NC_Dir, m_pc.Path());
        EXPECT_TRUE(ProgramFolderEntries().empty()) << "the staging copy stays";
    }
}

TEST_P(ReceiveTest, MissingInputFileIsReportedAsTheTransportWordsIt) {
    Ui().AnswerSaveFile(m_pc / "saved.nc");
    ChooseNormal();
    ChooseSplit("IN");
    RunSimpleReceive(nullptr);
    RunSimpleReceive(nullptr);

    ASSERT_EQ(Ui().Boxes().size(), 2u);
    EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
    EXPECT_EQ(Ui().Boxes()[0].strText, "saved.ncの登録に失敗しました。");
    EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Warning);
    EXPECT_EQ(Ui().Boxes()[1].strText,
              IsNetwork() ? "読み込みに失敗しました。" : "登録に失敗しました。");
    EXPECT_FALSE(std::filesystem::exists(m_pc / "saved.nc"));
    EXPECT_TRUE(FolderEntries(m_pc / "IN").empty());
    EXPECT_TRUE(ProgramFolderEntries().empty());
}

// A PC folder that cannot take the files adds its reason on a second line, which a file
// missing on the unit never gets: the operator knows which side to look at.
TEST_P(ReceiveTest, AFailureOnThePcSideSaysWhy) {
    PutInStore("RZKIN", kTape + std::string(8192, '('));
    Ui().AnswerSaveFile(m_pc / "missing/saved.nc");
    ChooseNormal();
    ChooseSplit("missing/IN");
    RunSimpleReceive(nullptr);
    RunSimpleReceive(nullptr);
    Ui().AnswerSaveFile(m_pc / "saved.nc");
    ChooseNormal();
    if (IsNetwork()) {
        ChooseSplit("IN");
    }
    {
        CFullDisk fullDisk;
        RunSimpleReceive(nullptr);
        if (IsNetwork()) {
            RunSimpleReceive(nullptr);
        }
    }

    std::vector<std::string> aExpected = {
        "saved.ncの登録に失敗しました。\nファイルまたはフォルダが見つかりません。",
        "登録に失敗しました。\n0ファイルを書き込んだところで止まりました。\n"
        "O0001.NC: ファイルまたはフォルダが見つかりません。",
        "saved.ncの登録に失敗しました。\nディスクの空きがありません。"};
    if (IsNetwork()) {
        // The tape is fetched to the PC before it is split.
        aExpected.push_back("読み込みに失敗しました。\nディスクの空きがありません。");
    }
    EXPECT_EQ(Ui().Texts(), aExpected);
    EXPECT_FALSE(std::filesystem::exists(m_pc / "saved.nc"));
    EXPECT_TRUE(ProgramFolderEntries().empty());
}

// A split that stops part-way tells how many files it wrote and which one stopped it and why,
// and still reports the files it replaced; the file it could not write keeps what it held.
TEST_P(ReceiveTest, ASplitThatStopsPartWaySaysWhereAndWhy) {
    PutInStore("RZKIN", "%\r\nO0001\r\nM30\r\nO0002\r\nM30\r\nO0003\r\nM30\r\n%");
    std::filesystem::create_directories(m_pc / "IN/O0003.NC/occupied");
    WriteBytes(m_pc / "IN/O0001.NC", "%\r\nO0001\r\nM02\r\n%");
    ChooseSplit("IN");
    RunSimpleReceive(nullptr);
    EXPECT_EQ(OnlyBox().kind, BoxKind::Warning);
    EXPECT_EQ(
        OnlyBox().strText,
        "登録に失敗しました。\n2ファイルを書き込んだところで止まりました。\n"
        "O0003.NC: 同じ名前のフォルダがあります。\n"
        "置き換えた1ファイルのうち1ファイルが以前と違います。\nO0001.NC 3行目「M02」→「M30」");
    EXPECT_EQ(FolderEntries(m_pc / "IN"),
              (std::set<std::string>{"O0001.NC", "O0002.NC", "O0003.NC"}));
    EXPECT_TRUE(std::filesystem::is_directory(m_pc / "IN/O0003.NC"));
}

TEST_P(ReceiveTest, CancellingEitherDialogDoesNothing) {
    App().NC_Dir = "/previous/";
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnCancel(); });
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnSplit(); });
    ExpectDialog<COBunkaiDlg>(Ui(), [](COBunkaiDlg& dialog) { dialog.reject(); });
    RunSimpleReceive(nullptr);
    RunSimpleReceive(nullptr);

    EXPECT_EQ(App().NC_Dir, "/previous/");
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_EQ(Ui().BusyShownCount(), 0);
}

// Replaced PC files are compared line by line with what arrived, whatever their line ends.
TEST_P(ReceiveTest, TheEndMessageTellsWhetherReplacedFilesChangedAndWhere) {
    PutInStore("RZKIN", "%\r\nO0001\r\nG00 X0\r\nM30\r\nO0002\r\nM99\r\nO0003\r\nM30\r\n%");
    for (auto [strBefore, strReport] :
         {std::pair<std::string, std::string>{"%\nO0001\nG00 X0\nM30\nO0002\nM99\nO0003\nM30\n%\n",
                                              "以前のファイルと同じ内容です。"},
          {"%\r\nO0001\r\nG00 X1\r\n", "以前のファイルと違います（3行目「G00 X1」→「G00 X0」）。"},
          {"%\r\nO0001\r\nG00 X0\r\nM30\r\nO0002\r\nM99\r\nO0003\r\nM30\r\n%\r\n\r\n",
           "以前のファイルと違います（10行目「」→「（なし）」）。"}}) {
        WriteBytes(m_pc / "saved.nc", strBefore);
        Ui().ClearRecord();
        Ui().AnswerSaveFile(m_pc / "saved.nc");
        ChooseNormal();
        RunSimpleReceive(nullptr);
        EXPECT_EQ(OnlyBox().strText, "saved.ncの登録が正常終了しました。\n" + strReport);
    }

    std::filesystem::create_directory(m_pc / "IN");
    WriteBytes(m_pc / "IN/O0001.NC", "%\nO0001\nG00 X0\nM30\n%\n");
    WriteBytes(m_pc / "IN/O0002.NC", "%\r\nO0002\r\nM30\r\n%");
    WriteBytes(m_pc / "IN/O0009.NC", "untouched");
    Ui().ClearRecord();
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnSplit(); });
    ExpectDialog<COBunkaiDlg>(Ui(), [&](COBunkaiDlg& dialog) {
        Ui().AnswerBrowseFolder(m_pc.Path().substr(0, m_pc.Path().size() - 1));
        dialog.OnBrowse();
        dialog.FolderNameEdit().setText(QStringLiteral("IN"));
        dialog.OnOK();
    });
    RunSimpleReceive(nullptr);
    EXPECT_EQ(OnlyBox().strText,
              "登録が正常終了しました。\n置き換えた2ファイルのうち1ファイルが以前と違います。\n"
              "O0002.NC 3行目「M30」→「M99」");
    EXPECT_EQ(ReadBytes(m_pc / "IN/O0009.NC"), "untouched");
}

INSTANTIATE_FOR_BOTH_TRANSPORTS(ReceiveTest);

// A retrieval from the USB memory is dated when it reaches the PC.
class UsbReceiveTest : public ReceiveTest {};

TEST_P(UsbReceiveTest, NormalReceiveIsDatedNow) {
    PutInStore("RZKIN", kTape);
    timespec aOld[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, StorePath("RZKIN").c_str(), aOld, 0);
    Ui().AnswerSaveFile(m_pc / "saved.nc");
    ChooseNormal();
    RunSimpleReceive(nullptr);

    struct stat status {};
    ASSERT_EQ(stat((m_pc / "saved.nc").c_str(), &status), 0);
    time_t now = time(nullptr);
    EXPECT_LE(std::abs(now - status.st_mtim.tv_sec), 60);
    EXPECT_LE(std::abs(now - status.st_atim.tv_sec), 60);
}

// The disk fills during a split from the memory (over the network the fetch of the tape would
// meet it first): the files written stay, the one that did not fit is not left half-written.
TEST_P(UsbReceiveTest, ASplitOntoAFullDiskSaysWhereItStopped) {
    PutInStore("RZKIN", "%\r\nO0001\r\nM30\r\nO0002\r\nM30\r\nO0003\r\n" + std::string(8192, 'X') +
                            "\r\nM30\r\n%");
    std::filesystem::create_directory(m_pc / "IN");
    WriteBytes(m_pc / "IN/O0003.NC", "earlier");
    ChooseSplit("IN");
    {
        CFullDisk fullDisk;
        RunSimpleReceive(nullptr);
    }
    EXPECT_EQ(OnlyBox().strText,
              "登録に失敗しました。\n2ファイルを書き込んだところで止まりました。\n"
              "O0003.NC: ディスクの空きがありません。");
    EXPECT_EQ(FolderEntries(m_pc / "IN"),
              (std::set<std::string>{"O0001.NC", "O0002.NC", "O0003.NC"}));
    EXPECT_EQ(ReadBytes(m_pc / "IN/O0003.NC"), "earlier");
}

INSTANTIATE_TEST_SUITE_P(Store, UsbReceiveTest, ::testing::Values(Transport::Usb), TransportName);

}  // namespace
