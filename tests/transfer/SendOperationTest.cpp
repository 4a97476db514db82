#include "transfer/SendOperation.h"

#include <QLabel>

#include "platform/ListView.h"
#include "platform/WaitDlg.h"
#include "tests/fakes/BusyDialogWatch.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/FullDisk.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/MRetDlg.h"

namespace {

using Box = CFakeUiServices::Box;
using BoxKind = CFakeUiServices::BoxKind;

const std::string kFirst = "%\r\nO0001\r\nG00 X0\r\nM30\r\n%\r\n";
const std::string kSecond = "%\nO0002\nM30\n%\n";
const std::string kThird = "O0003\r\nG01 X10 %\r\n%%%\r\n\r\nM30";
const std::string kMerged =
    "%\r\nO0001\r\nG00 X0\r\nM30\r\nO0002\r\nM30\r\nO0003\r\nG01 X10 \r\nM30\r\n%";

class SendTest : public TransferTest {
protected:
    void ExpectBoxes(const std::vector<Box>& aExpected) {
        ASSERT_EQ(Ui().Boxes().size(), aExpected.size());
        for (size_t nBox = 0; nBox < aExpected.size(); ++nBox) {
            EXPECT_EQ(Ui().Boxes()[nBox].kind, aExpected[nBox].kind);
            EXPECT_EQ(Ui().Boxes()[nBox].strText, aExpected[nBox].strText);
        }
    }
};

TEST_P(SendTest, OneFileReachesTheUnitUnchangedUnderTheOutputName) {
    // A file with blank lines, percent lines and mixed line ends goes as it is.
    const std::string strProgram = "%\r\n\r\nO0001 (50%)\nG00 X0\r\nM30\r\n%";
    for (bool bAddDot : {false, true}) {
        App().SetData.ADD_DOT = bAddDot;
        App().NC_Dir = "/previous/";
        Ui().ClearRecord();
        Ui().AnswerOpenFiles({PcFile("part.nc", strProgram)});
        RunSimpleSend(nullptr);

        std::string strOutputName = bAddDot ? "RZKOUT.NC" : "RZKOUT";
        EXPECT_EQ(InStore(strOutputName), strProgram);
        ExpectBoxes({{BoxKind::Message, "part.ncの登録が正常終了しました。"}});
        EXPECT_EQ(App().NC_Dir, m_pc.Path());
        ASSERT_EQ(Ui().FileDialogs().size(), 1u);
        const FileDialogOptions& options = Ui().FileDialogs()[0];
        EXPECT_EQ(options.strInitialFolder, "/previous/");
        EXPECT_EQ(options.strFilter, bAddDot ? "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||"
                                             : "すべてのﾌｧｲﾙ (*.*)|*.*||");
        EXPECT_EQ(options.strDefaultExtension, bAddDot ? "NC" : "");
        EXPECT_EQ(Ui().BusyShownCount(), 2);  // the tape check, then the send
    }
    EXPECT_EQ(ReadBytes(m_pc / "part.nc"), strProgram);
}

TEST_P(SendTest, SeveralFilesAreMergedIntoOneTapeAndListed) {
    App().SetData.ADD_DOT = true;
    std::vector<std::string> aPaths = {PcFile("a.nc", kFirst), PcFile("b.nc", kSecond),
                                       PcFile("c.nc", kThird)};
    Ui().AnswerOpenFiles(aPaths);
    ExpectDialog<CMRetDlg>(Ui(), [](CMRetDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "登録したファイル一覧");
        EXPECT_EQ(dialog.m_pMessage->text().toStdString(), "3ファイルの登録が正常終了しました。");
        CListView& list = *dialog.m_pList;
        EXPECT_EQ(list.GetColumnHeader(0), "登録したファイル");
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetCellText(0, 0), "a.nc");
        EXPECT_EQ(list.GetCellText(2, 0), "c.nc");
        EXPECT_EQ(list.GetCellText(3, 0), "");
        EXPECT_TRUE(list.IsSelected(0));
        EXPECT_TRUE(list.IsFocused(0));
        dialog.accept();
    });
    RunSimpleSend(nullptr);

    EXPECT_EQ(InStore("RZKOUT.NC"), kMerged);
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_TRUE(ProgramFolderEntries().empty()) << "the merged tape stays in the program folder";
}

TEST_P(SendTest, UnreadableFileFailsTheSendAndKeepsThePreviousOutputFile) {
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerOpenFiles({PcFile("a.nc", kFirst), m_pc / "gone.nc", PcFile("c.nc", kThird)});
    RunSimpleSend(nullptr);

    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    ExpectBoxes({{BoxKind::Warning, "gone.ncの登録に失敗しました。"}});
    EXPECT_TRUE(ProgramFolderEntries().empty());
}

// The merged tape is written on the PC first: a full disk there is named, and the unit keeps
// its previous output file.
TEST_P(SendTest, AMergedTapeThatDoesNotFitOnThePcSaysWhy) {
    PutInStore("RZKOUT", "PREVIOUS");
    std::string strLong = "%\r\nO0001\r\n";
    for (int nLine = 0; nLine < 1000; ++nLine) {
        strLong += "G01 X1\r\n";
    }
    Ui().AnswerOpenFiles({PcFile("a.nc", strLong + "M30\r\n%\r\n"), PcFile("b.nc", kSecond)});
    {
        CFullDisk fullDisk;
        RunSimpleSend(nullptr);
    }
    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    ExpectBoxes({{BoxKind::Warning, "登録に失敗しました。\nディスクの空きがありません。"}});
    EXPECT_TRUE(ProgramFolderEntries().empty());
}

TEST_P(SendTest, MissingSingleFileIsReportedByName) {
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerOpenFiles({m_pc / "gone.nc"});
    RunSimpleSend(nullptr);

    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    ExpectBoxes({{BoxKind::Warning,
                  "gone.ncの登録に失敗しました。\nファイルまたはフォルダが見つかりません。"}});
}

TEST_P(SendTest, CancelledFileDialogChangesNothing) {
    App().NC_Dir = "/previous/";
    Ui().AnswerOpenFiles({});
    RunSimpleSend(nullptr);

    EXPECT_EQ(App().NC_Dir, "/previous/");
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_EQ(Ui().BusyShownCount(), 0);
}

// Programs without an end and a colon number are sent only when the operator goes on, and
// then unchanged; the files of a merged tape are checked together. The busy dialog names each
// file while it is checked, and is down again when the question comes, a line per kind found.
TEST_P(SendTest, ATapeTheMachineWouldRefuseIsSentOnlyWhenTheOperatorGoesOn) {
    const std::string strTape = "%\r\n:0001\r\nG00 X0\r\n%";
    for (bool bGoOn : {false, true}) {
        Ui().ClearRecord();
        Ui().AnswerOpenFiles({PcFile("part.nc", strTape)});
        Ui().AnswerQuestion(bGoOn);
        std::vector<std::string> aBusyFiles;
        CProgress progress([this, &aBusyFiles](const CProgress::State& state) {
            if (Ui().IsBusyOpen() && Ui().Boxes().empty()) {
                aBusyFiles.push_back(state.strFileName);
            }
        });
        RunSimpleSend(nullptr);
        EXPECT_EQ(aBusyFiles, std::vector<std::string>{"part.nc"});
        EXPECT_EQ(IsInStore("RZKOUT"), bGoOn);
        EXPECT_EQ(Ui().BusyShownCount(), bGoOn ? 2 : 1);
    }
    EXPECT_EQ(InStore("RZKOUT"), strTape);
    ExpectBoxes({{BoxKind::Question,
                  "テープの確認で2件の注意があります。\n「:」のプログラム番号 1件\n"
                  "M30・M99・M02なし 1件\nこのまま登録しますか？"},
                 {BoxKind::Message, "part.ncの登録が正常終了しました。"}});
    EXPECT_EQ(Ui().Boxes()[0].strDetails,
              "part.nc 2行目: 「:」のプログラム番号「:0001」\n"
              "part.nc 2行目: M30・M99・M02なし「:0001」\n");

    Ui().ClearRecord();
    Ui().AnswerOpenFiles({PcFile("a.nc", kFirst), PcFile("b.nc", kFirst)});
    Ui().AnswerQuestion(false);
    RunSimpleSend(nullptr);
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_EQ(Ui().Boxes()[0].strDetails, "b.nc 2行目: Ｏ番号の重複「O0001」\n");
}

// The busy dialog names the file and counts the bytes while a large tape goes to the unit.
TEST_P(SendTest, TheBusyDialogShowsTheFileAndTheBytesOfALargeSend) {
    std::string strProgram = "%\r\nO0001\r\n";
    while (strProgram.size() < 100 * 1024 * 1024 - 10) {
        strProgram += "G01 X1.0 Y2.0 Z-3.0 F500\r\n";
    }
    strProgram.resize(100 * 1024 * 1024 - 10);
    strProgram += "\r\nM30\r\n%\r\n";
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    CBusyDialogWatch watch(
        [](const CProgress::State& state) {
            return state.nBytesTotal > 0 && state.nBytesDone * 2 >= state.nBytesTotal;
        },
        std::string(RZKSET_BINARY_DIR) + "/screenshots/busy_send_" +
            (IsNetwork() ? "network" : "usb") + ".png");
    Ui().AnswerOpenFiles({PcFile("large.nc", strProgram)});
    RunSimpleSend(nullptr);

    EXPECT_TRUE(InStore("RZKOUT") == strProgram);
    const std::string& strShown = watch.ShownText();
    EXPECT_TRUE(
        strShown.starts_with("ただいま、処理中です。\nしばらくお待ちください。\n\n"
                             "large.nc\n0 / 1 ファイル\n"))
        << strShown;
    EXPECT_TRUE(strShown.ends_with(" MB / 100.0 MB")) << strShown;
}

INSTANTIATE_FOR_BOTH_TRANSPORTS(SendTest);

class RefusingUnitSendTest : public SendTest {};

TEST_P(RefusingUnitSendTest, RefusedUploadLeavesThePreviousOutputFile) {
    StartUnit({"--refuse", "STOR"});
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerOpenFiles({PcFile("a.nc", kFirst)});
    Ui().AnswerOpenFiles({PcFile("a.nc", kFirst), PcFile("b.nc", kSecond)});
    RunSimpleSend(nullptr);
    RunSimpleSend(nullptr);

    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    ExpectBoxes({{BoxKind::Warning, "a.ncの登録に失敗しました。"},
                 {BoxKind::Warning, "登録に失敗しました。"}});
    EXPECT_EQ(App().NC_Dir, m_pc.Path()) << "the chosen folder is kept even when sending fails";
    EXPECT_TRUE(ProgramFolderEntries().empty());
}

TEST_P(RefusingUnitSendTest, RefusedFolderAndUnreachableUnitAreNamedWithTheAddress) {
    StartUnit({"--refuse", "CWD"});
    Ui().AnswerOpenFiles({PcFile("a.nc", kFirst)});
    RunSimpleSend(nullptr);
    m_pUnit.reset();
    Ui().AnswerOpenFiles({PcFile("a.nc", kFirst)});
    RunSimpleSend(nullptr);

    ASSERT_EQ(Ui().Boxes().size(), 2u);
    EXPECT_EQ(Ui().Boxes()[0].strText, "127.0.0.1のフォルダ移動に失敗しました。");
    EXPECT_TRUE(Ui().Boxes()[1].strText.ends_with("\n127.0.0.1への接続に失敗しました。"))
        << Ui().Boxes()[1].strText;
    EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Warning);
}

INSTANTIATE_TEST_SUITE_P(Store, RefusingUnitSendTest, ::testing::Values(Transport::Network),
                         TransportName);

}  // namespace
