#include "numlist/FSousaDlg.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/RZKSETDlg.h"
#include "numlist/BikouDlg.h"
#include "platform/Text.h"
#include "platform/WaitDlg.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/DriveFixture.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/FileDrop.h"
#include "tests/fakes/FullDisk.h"
#include "tests/fakes/RecordingPrintTarget.h"
#include "tests/fakes/StopPress.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;
using BoxKind = CFakeUiServices::BoxKind;

enum class Transport { Usb, Network };

const std::string kEmptyCatalogue =
    "#ListHead Section Start\r\nPRNTITLE=\r\nFNOCOUNT=0\r\n#ListHead Section End\r\n";

std::vector<int> SelectedRows(const CListView& view) {
    std::vector<int> aRows;
    for (int nRow = view.GetNextSelected(-1); nRow >= 0; nRow = view.GetNextSelected(nRow)) {
        aRows.push_back(nRow);
    }
    return aRows;
}

void Select(CListView& view, std::initializer_list<int> aRows) {
    view.ClearAllSelection();
    for (int nRow : aRows) {
        view.SetSelected(nRow, true);
    }
}

std::vector<std::string> Names(const CFSousaDlg& dialog) {
    std::vector<std::string> aNames;
    for (const FILENODATA& entry : dialog.m_fileNo.m_aData) {
        aNames.push_back(entry.strName);
    }
    return aNames;
}

// Everything in a folder, folders marked with a final "/", one level deep.
std::set<std::string> Contents(const fs::path& folder) {
    std::set<std::string> aNames;
    for (const auto& entry : fs::directory_iterator(folder)) {
        aNames.insert(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
    }
    return aNames;
}

// The file operations dialog started from the main window's button, over a USB memory (a
// mounted FAT volume of the drive fixture) or the unit simulator, each holding the marker.
class FSousaDlgTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        fs::create_directories(m_exeDir / "pc");
        App().NC_Dir = (m_exeDir / "pc").string() + "/";
        App().SetData.ADD_DOT = true;
        App().SetData.DOT = "NC";
        App().FtpTimeoutSeconds = 2;
        App().SetData.IP1 = 127;
        App().SetData.IP2 = 0;
        App().SetData.IP3 = 0;
        App().SetData.IP4 = 1;
    }

    // An empty store with the marker on the transport.
    void Use(Transport transport) {
        m_pUnit.reset();
        if (transport == Transport::Usb) {
            if (m_strMountPoint.empty()) {
                m_drives.AddDisk("sdb", CDriveFixture::Port::Usb, true, 8, 16);
                m_strMountPoint = m_drives.MakeMountPoint("RZK");
                m_drives.Mount(m_drives.AddPartition("sdb", 1), m_strMountPoint, "vfat",
                               m_drives.MakeFatImage("sdb", 16, "RZK"));
            }
            m_store = m_strMountPoint;
            App().Drives = m_drives.Table();
            App().Sousa = 0;
            App().UsbDrive = m_strMountPoint + "/";
            App().UsbDriveName = "RZK (" + m_strMountPoint + ")";
        } else {
            m_store = m_exeDir / "unit" / "pub";
            StartUnit();
            App().Sousa = 1;
        }
        fs::remove_all(m_store);
        fs::create_directories(m_store);
        Put("PVN_RZK70", "");
    }
    void StartUnit(const std::vector<std::string>& aOptions = {}) {
        m_pUnit.reset();
        m_pUnit = std::make_unique<CUnitSimulator>((m_exeDir / "unit").string(), aOptions);
        App().FtpPort = m_pUnit->Port();
    }
    // Runs the body once over each transport.
    void ForEachTransport(const std::function<void(Transport)>& body) {
        for (Transport transport : {Transport::Usb, Transport::Network}) {
            SCOPED_TRACE(transport == Transport::Usb ? "USB memory" : "network");
            Use(transport);
            Ui().ClearRecord();
            body(transport);
        }
    }

    void Put(const std::string& strName, const std::string& strContent) {
        WriteFile(m_store / strName, strContent);
    }
    std::string PcFile(const std::string& strName) {
        fs::path path = m_exeDir / "pc" / strName;
        WriteFile(path, PcProgram(strName));
        return path.string();
    }
    // A catalogue of the names, each with its program file.
    void PutCatalogue(const std::vector<std::string>& aNames, const std::string& strTitle = "") {
        CFileNo list;
        list.m_strTitle = strTitle;
        for (const std::string& strName : aNames) {
            list.m_aData.push_back({1, strName, ""});
            Put(strName + (App().SetData.ADD_DOT ? ".NC" : ""), strName);
        }
        ASSERT_TRUE(list.Save((m_store / "FileNList.fnl").string()));
    }
    std::string Catalogue() const { return ReadFile(m_store / "FileNList.fnl"); }

    // Presses "ファイル操作" in the main window and plays the person at the dialog; the act
    // must close it.
    void Run(std::function<void(CFSousaDlg&)> act) {
        CRZKSETDlg mainWindow;
        mainWindow.OnInitDialog();
        ExpectDialog<CFSousaDlg>(Ui(), std::move(act));
        auto& button = static_cast<QPushButton&>(*mainWindow.Item(1004));
        ASSERT_TRUE(button.isEnabled());
        button.click();
        EXPECT_FALSE(Ui().IsBusyOpen());
        EXPECT_EQ(App().DeviceEventsEnabled, 1);
    }

    CDriveFixture m_drives;
    std::string m_strMountPoint;
    std::unique_ptr<CUnitSimulator> m_pUnit;
    fs::path m_store;
};

TEST_F(FSousaDlgTest, ListsTheStoreRootWithoutReservedOrCataloguedNames) {
    struct {
        bool bAddDot;
        std::vector<std::string> aCatalogue;
        std::vector<std::string> aUnregistered;
    } const aCases[] = {
        {true, {}, {"ABC", "abc"}},
        {false, {}, {"ABC.NC", "RZKIN.NC", "RZKOUT.NC", "abc.NC"}},
        {true, {"ABC"}, {}},  // the catalogue's ABC hides abc too
    };
    ForEachTransport([&](Transport) {
        for (const auto& testCase : aCases) {
            App().SetData.ADD_DOT = testCase.bAddDot;
            for (const char* pszName :
                 {"ABC.NC", "abc.NC", "RZKOUT.NC", "RZKIN.NC", "FileNList.fnl"}) {
                Put(pszName, "x");
            }
            fs::create_directories(m_store / "RzFilesIn");
            fs::create_directories(m_store / "RzFilesOut");
            CFileNo catalogue;
            for (const std::string& strName : testCase.aCatalogue) {
                catalogue.m_aData.push_back({1, strName, ""});
            }
            catalogue.Save((m_store / "FileNList.fnl").string());
            Run([&](CFSousaDlg& dialog) {
                EXPECT_EQ(dialog.m_aUnregistered, testCase.aUnregistered);
                CListView& unregistered = dialog.UnregisteredList();
                ASSERT_EQ(unregistered.GetItemCount(), int(testCase.aUnregistered.size()));
                for (size_t nRow = 0; nRow < testCase.aUnregistered.size(); ++nRow) {
                    EXPECT_EQ(unregistered.GetCellText(int(nRow), 0), Format("%5d", int(nRow) + 1));
                    EXPECT_EQ(unregistered.GetCellText(int(nRow), 1), testCase.aUnregistered[nRow]);
                }
                if (!testCase.aUnregistered.empty()) {
                    EXPECT_EQ(SelectedRows(unregistered), std::vector<int>{0});
                    EXPECT_TRUE(unregistered.IsFocused(0));
                }
                int nBlankRow = int(testCase.aCatalogue.size());
                EXPECT_EQ(dialog.FileList().GetItemCount(), nBlankRow + 1);
                EXPECT_EQ(SelectedRows(dialog.FileList()), std::vector<int>{nBlankRow});
                EXPECT_TRUE(dialog.FileList().IsFocused(nBlankRow));
                EXPECT_TRUE(dialog.CoverList().isHidden());
                EXPECT_TRUE(dialog.UnregisteredCoverList().isHidden());
                dialog.OnClose();
            });
        }
        EXPECT_TRUE(Ui().Texts().empty());
        EXPECT_FALSE(fs::exists(m_exeDir / "FileNList.fnl"));
        EXPECT_FALSE(fs::exists(m_exeDir / "tmp_FileNList.fnl"));
    });
}

// A temporary file that a cut-off write left in the store root (here the name an earlier
// version used) never shows among the unregistered files, even without ADD_DOT, where every
// file of the root is listed. On the memory the next registration into the root removes it.
TEST_F(FSousaDlgTest, TemporaryFilesOfCutOffWritesAreNeverListed) {
    App().SetData.ADD_DOT = false;
    ForEachTransport([&](Transport transport) {
        Put("~RZKSET.~~~~", "half a program");
        Put("ABC", "x");
        Ui().AnswerOpenFiles({PcFile("D-1")});
        Run([&](CFSousaDlg& dialog) {
            EXPECT_EQ(dialog.m_aUnregistered, std::vector<std::string>{"ABC"});
            dialog.OnRegister();
            EXPECT_EQ(Names(dialog), std::vector<std::string>{"D-1"});
            dialog.OnClose();
        });
        EXPECT_TRUE(Ui().Texts().empty());
        EXPECT_EQ(ReadFile(m_store / "D-1"), PcProgram("D-1"));
        EXPECT_EQ(fs::exists(m_store / "~RZKSET.~~~~"), transport == Transport::Network);
    });
}

TEST_F(FSousaDlgTest, AddsUnregisteredNamesInOrderUntilOneCannotBeCatalogued) {
    ForEachTransport([&](Transport) {
        for (const char* pszName : {"ABC.NC", "D-100.NC", "A-2.NC", "B1.NC", "a_3.NC", "c.NC"}) {
            Put(pszName, pszName);
        }
        Run([&](CFSousaDlg& dialog) {
            // Sorted: A-2 ABC B1 D-100 a_3 c.
            Select(dialog.UnregisteredList(), {0, 2, 4, 5});
            dialog.OnAddUnregistered();
            EXPECT_EQ(Names(dialog), (std::vector<std::string>{"A-2", "B1"}));
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"A_3の登録に失敗しました。"});
            EXPECT_EQ(dialog.m_aUnregistered,
                      (std::vector<std::string>{"ABC", "D-100", "a_3", "c"}));
            EXPECT_EQ(SelectedRows(dialog.UnregisteredList()), (std::vector<int>{2, 3}));
            EXPECT_TRUE(SelectedRows(dialog.FileList()).empty());
            EXPECT_EQ(dialog.FileList().GetFocusedRow(), -1);
            EXPECT_EQ(dialog.FileList().GetItemCount(), 3);
            EXPECT_TRUE(dialog.UnregisteredCoverList().isHidden());
            dialog.OnClose();
        });
        CFileNo written;
        ASSERT_EQ(written.Load((m_store / "FileNList.fnl").string()), CFileNo::LOAD_OK);
        ASSERT_EQ(written.m_aData.size(), 2u);
        EXPECT_EQ(written.m_aData[1].strName, "B1");
        EXPECT_EQ(ReadFile(m_store / "a_3.NC"), "a_3.NC");
    });
}

TEST_F(FSousaDlgTest, ARefusedTitleGivesTheFocusToTheListOfTheCommand) {
    Use(Transport::Usb);
    PutCatalogue({"A", "B"});
    Put("C.NC", "C");
    Run([&](CFSousaDlg& dialog) {
        dialog.TitleEdit().setText(QString(31, QChar(0x3042)));  // あ x 31 = 62 bytes
        const struct {
            int nId;
            QWidget* pFocus;
        } aCases[] = {{1016, &dialog.FileList()},         {1017, &dialog.FileList()},
                      {1018, &dialog.FileList()},         {1019, &dialog.FileList()},
                      {1020, &dialog.FileList()},         {1021, &dialog.FileList()},
                      {1024, &dialog.UnregisteredList()}, {2, &dialog.TitleEdit()}};
        for (const auto& testCase : aCases) {
            SCOPED_TRACE(testCase.nId);
            Ui().ClearRecord();
            dialog.TitleEdit().setFocus();
            dialog.Button(testCase.nId).click();
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"Enter no more than 60 characters."});
            EXPECT_EQ(dialog.focusWidget(), testCase.pFocus);
        }
        dialog.TitleEdit().setText(QStringLiteral("T"));
        dialog.Button(2).click();
    });
    EXPECT_NE(Catalogue().find("PRNTITLE=T\r\n"), std::string::npos);
}

TEST_F(FSousaDlgTest, WritesTheCatalogueOfTheExampleByteForByte) {
    ForEachTransport([&](Transport) {
        Put("ABC.NC", "");
        Put("D-100.NC", "");
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.UnregisteredList(), {0, 1});
            dialog.OnAddUnregistered();
            Select(dialog.FileList(), {0});
            ExpectDialog<CBikouDlg>(Ui(), [](CBikouDlg& remarkDlg) {
                remarkDlg.BikouEdit().setText(QStringLiteral("TEST"));
                remarkDlg.OnOK();
            });
            dialog.OnRemark();
            dialog.TitleEdit().setText(QStringLiteral("LINE A"));
            dialog.OnClose();
        });
        EXPECT_EQ(Catalogue(),
                  "#ListHead Section Start\r\nPRNTITLE=LINE A\r\nFNOCOUNT=2\r\n"
                  "#ListHead Section End\r\n#FileNo Section Start\r\nNO=1\r\nNAME=ABC\r\n"
                  "ECT=TEST\r\n#FileNo Section End\r\n#FileNo Section Start\r\nNO=1\r\n"
                  "NAME=D-100\r\nECT=\r\n#FileNo Section End\r\n");
        EXPECT_TRUE(fs::exists(m_store / "ABC.NC"));
    });
}

TEST_F(FSousaDlgTest, RegistersPcFilesCountingTheNamesThatCannotBeCatalogued) {
    ForEachTransport([&](Transport) {
        PutCatalogue({"ABC"});
        Put("D-1.NC", "old");
        std::vector<std::string> aFiles = {PcFile("prog1.txt"), PcFile("123456789012345.NC"),
                                           PcFile("a_b.NC"), PcFile("abc.NC"), PcFile("d-1.NC")};
        Ui().AnswerOpenFiles(aFiles);
        Run([&](CFSousaDlg& dialog) {
            EXPECT_EQ(dialog.m_aUnregistered, std::vector<std::string>{"D-1"});
            dialog.OnRegister();
            EXPECT_EQ(Names(dialog), (std::vector<std::string>{"ABC", "PROG1", "D-1"}));
            EXPECT_EQ(Ui().Texts(),
                      std::vector<std::string>{"登録できないファイルが3個ありました。"});
            EXPECT_TRUE(dialog.m_aUnregistered.empty());
            EXPECT_EQ(dialog.UnregisteredList().GetItemCount(), 0);
            // The blank row selected before stays selected by position, now on PROG1.
            EXPECT_EQ(SelectedRows(dialog.FileList()), (std::vector<int>{1, 3}));
            EXPECT_TRUE(dialog.FileList().IsFocused(3));
            EXPECT_EQ(dialog.FileList().GetCellText(2, 0), "    3");
            dialog.OnClose();
        });
        EXPECT_EQ(ReadFile(m_store / "PROG1.NC"), PcProgram("prog1.txt"));
        EXPECT_EQ(ReadFile(m_store / "D-1.NC"), PcProgram("d-1.NC"));
        EXPECT_EQ(Ui().FileDialogs()[0].strFilter, "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||");
        EXPECT_EQ(App().NC_Dir, (m_exeDir / "pc").string() + "/");
        CFileNo written;
        ASSERT_EQ(written.Load((m_store / "FileNList.fnl").string()), CFileNo::LOAD_OK);
        EXPECT_EQ(written.m_aData.size(), 3u);
    });
}

// "中止" pressed as the fourth of six files is about to go: the three before it are on the
// store and in the catalogue written back, nothing of the fourth is, and the end message names
// the three.
TEST_F(FSousaDlgTest, AStoppedRegistrationKeepsTheFilesDoneAndNamesThem) {
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    ForEachTransport([&](Transport) {
        PutCatalogue({});
        std::set<std::string> aBefore = Contents(m_store);
        Ui().AnswerOpenFiles({PcFile("a.NC"), PcFile("b.NC"), PcFile("c.NC"), PcFile("d.NC"),
                              PcFile("e.NC"), PcFile("f.NC")});
        CStopPress press([](const CProgress::State& state) { return state.nFilesDone == 3; });
        Run([&](CFSousaDlg& dialog) {
            dialog.OnRegister();
            EXPECT_TRUE(press.Pressed());
            EXPECT_EQ(Names(dialog), (std::vector<std::string>{"A", "B", "C"}));
            EXPECT_EQ(Ui().Texts(),
                      std::vector<std::string>{"中止しました。\nA、B、Cを登録しました。"});
            EXPECT_EQ(Ui().Boxes().back().kind, CFakeUiServices::BoxKind::Message);
            dialog.OnClose();
        });
        std::set<std::string> aExpected = aBefore;
        aExpected.insert({"A.NC", "B.NC", "C.NC"});
        EXPECT_EQ(Contents(m_store), aExpected);
        EXPECT_EQ(ReadFile(m_store / "C.NC"), PcProgram("c.NC"));
        CFileNo written;
        ASSERT_EQ(written.Load((m_store / "FileNList.fnl").string()), CFileNo::LOAD_OK);
        EXPECT_EQ(written.m_aData.size(), 3u);
    });
}

// A file the machine would read wrongly is registered only when the operator goes on.
TEST_F(FSousaDlgTest, RegisteringWarnsOfLowerCaseAndGoesOnOnlyWhenTold) {
    const std::string strLower = "%\r\nO0001\r\ng00 x0\r\nM30\r\n%\r\n";
    ForEachTransport([&](Transport) {
        const std::string strPath = (m_exeDir / "pc" / "lower.NC").string();
        WriteFile(strPath, strLower);
        Run([&](CFSousaDlg& dialog) {
            for (bool bGoOn : {false, true}) {
                Ui().AnswerOpenFiles({strPath});
                Ui().AnswerQuestion(bGoOn);
                dialog.Button(1016).click();
                EXPECT_EQ(Names(dialog),
                          bGoOn ? std::vector<std::string>{"LOWER"} : std::vector<std::string>{});
            }
            dialog.OnClose();
        });
        ASSERT_EQ(Ui().Boxes().size(), 2u);
        for (const CFakeUiServices::Box& box : Ui().Boxes()) {
            EXPECT_EQ(box.strText,
                      "テープの確認で1件の注意があります。\n小文字 1件\nこのまま登録しますか？");
            EXPECT_EQ(box.strDetails, "lower.NC 3行目: 小文字「g00 x0」\n");
        }
        EXPECT_EQ(ReadFile(m_store / "LOWER.NC"), strLower);
    });
}

// Files dropped on the list are registered as if chosen in the file dialog.
TEST_F(FSousaDlgTest, RegistersFilesDroppedOnTheList) {
    ForEachTransport([&](Transport) {
        const std::vector<std::string> aFiles = {PcFile("drop1.NC"), PcFile("drop2.NC")};
        Run([&](CFSousaDlg& dialog) {
            QWidget& list = *dialog.FileList().viewport();
            EXPECT_FALSE(DropFiles(list, {(m_exeDir / "pc").string()}));
            ASSERT_TRUE(DropFiles(list, aFiles));
            EXPECT_EQ(Names(dialog), (std::vector<std::string>{"DROP1", "DROP2"}));
            dialog.OnClose();
        });
        EXPECT_EQ(ReadFile(m_store / "DROP2.NC"), PcProgram("drop2.NC"));
        EXPECT_TRUE(Ui().FileDialogs().empty());
    });
}

TEST_F(FSousaDlgTest, RegistersAtTheSelectedRowAndStopsAtAFailedUpload) {
    ForEachTransport([&](Transport) {
        PutCatalogue({"E1", "E2", "E3", "E4", "E5"});
        fs::create_directories(m_store / "C.NC");  // no file can take its name
        Ui().AnswerOpenFiles({PcFile("x1.NC"), PcFile("x2.NC")});
        Ui().AnswerOpenFiles(
            {PcFile("a.NC"), PcFile("b.NC"), PcFile("c.NC"), PcFile("d.NC"), PcFile("e.NC")});
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.FileList(), {3});
            dialog.OnRegister();
            EXPECT_EQ(Names(dialog),
                      (std::vector<std::string>{"E1", "E2", "E3", "X1", "X2", "E4", "E5"}));
            EXPECT_EQ(SelectedRows(dialog.FileList()), (std::vector<int>{3, 5}));
            EXPECT_TRUE(dialog.FileList().IsFocused(5));

            Select(dialog.FileList(), {7});
            dialog.OnRegister();
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"Cの登録に失敗しました。"});
            EXPECT_EQ(dialog.m_nCount, 9);
            EXPECT_EQ(Names(dialog).back(), "B");
            EXPECT_TRUE(dialog.Button(1016).isEnabled());
            EXPECT_TRUE(dialog.IsCloseEnabled());
            dialog.OnClose();
        });
        EXPECT_TRUE(fs::is_regular_file(m_store / "B.NC"));
        EXPECT_FALSE(fs::exists(m_store / "D.NC"));
    });
}

TEST_F(FSousaDlgTest, DeletesSelectedFilesOfBothLists) {
    ForEachTransport([&](Transport) {
        PutCatalogue({"R0", "R1", "R2", "R3", "R4", "R5"});
        for (const char* pszName : {"U0.NC", "U1.NC", "U2.NC"}) {
            Put(pszName, "");
        }
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.FileList(), {6});
            dialog.OnDelete();
            EXPECT_EQ(dialog.m_nCount, 6);
            EXPECT_FALSE(dialog.m_bModified);

            Select(dialog.FileList(), {2, 5});
            dialog.OnDelete();
            EXPECT_EQ(Names(dialog), (std::vector<std::string>{"R0", "R1", "R3", "R4"}));
            Select(dialog.UnregisteredList(), {0, 2});
            dialog.OnDeleteUnregistered();
            EXPECT_EQ(dialog.m_aUnregistered, std::vector<std::string>{"U1"});
            EXPECT_EQ(dialog.UnregisteredList().GetItemCount(), 1);

            // A file already gone stops the deletion and keeps its name.
            fs::remove(m_store / "R3.NC");
            Select(dialog.FileList(), {1, 2});
            dialog.OnDelete();
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"消去に失敗しました。"});
            EXPECT_EQ(Names(dialog), (std::vector<std::string>{"R0", "R3", "R4"}));
            dialog.OnClose();
        });
        EXPECT_EQ(Contents(m_store),
                  (std::set<std::string>{"FileNList.fnl", "PVN_RZK70", "R0.NC", "R4.NC", "U1.NC"}));
    });
}

TEST_F(FSousaDlgTest, DeleteAllSparesOnlyTheMarkerAndTheFolders) {
    const std::string kQuestion = "ＵＳＢメモリ内のＮＣプログラムを消去します。\nよろしいですか？";
    ForEachTransport([&](Transport) {
        App().SetData.ADD_DOT = false;
        PutCatalogue({"ABC.NC"}, "TITLE");
        for (const char* pszName : {"x.txt", "RZKOUT", "RZKIN"}) {
            Put(pszName, "");
        }
        fs::create_directories(m_store / "RzFilesOut");
        Put("RzFilesOut/0001.fno", "");
        Run([&](CFSousaDlg& dialog) {
            Ui().AnswerQuestion(false);
            dialog.OnDeleteAll();
            EXPECT_EQ(dialog.m_nCount, 1);

            Ui().AnswerQuestion(true);
            dialog.OnDeleteAll();
            ASSERT_EQ(Ui().Boxes().size(), 3u);
            EXPECT_EQ(Ui().Boxes()[1].strText, kQuestion);
            EXPECT_TRUE(Ui().Boxes()[1].bDefaultNo);
            EXPECT_EQ(Ui().Boxes()[2].kind, BoxKind::Message);
            EXPECT_EQ(Ui().Boxes()[2].strText, "消去が終了しました。");
            EXPECT_TRUE(dialog.m_fileNo.m_aData.empty());
            EXPECT_TRUE(dialog.m_aUnregistered.empty());
            EXPECT_EQ(dialog.UnregisteredList().GetItemCount(), 0);
            EXPECT_EQ(SelectedRows(dialog.FileList()), std::vector<int>{0});
            EXPECT_TRUE(dialog.TitleEdit().text().isEmpty());

            Ui().AnswerQuestion(true);
            dialog.OnDeleteAll();
            EXPECT_EQ(Ui().Boxes().back().kind, BoxKind::Warning);
            EXPECT_EQ(Ui().Boxes().back().strText, "消去するファイルがありませんでした。");
            dialog.OnClose();
        });
        EXPECT_EQ(Contents(m_store),
                  (std::set<std::string>{"FileNList.fnl", "PVN_RZK70", "RzFilesOut/"}));
        EXPECT_EQ(Catalogue(), kEmptyCatalogue);
        EXPECT_TRUE(fs::exists(m_store / "RzFilesOut" / "0001.fno"));
    });
}

// A unit that refuses the folder or cannot be reached deletes nothing: the catalogue keeps its
// entries instead of being written back empty.
TEST_F(FSousaDlgTest, DeleteAllThatReachesNothingKeepsTheLists) {
    Use(Transport::Network);
    PutCatalogue({"ABC", "D"}, "T");
    Put("U.NC", "");
    std::string strBefore = Catalogue();
    Run([&](CFSousaDlg& dialog) {
        StartUnit({"--refuse", "CWD"});
        Ui().AnswerQuestion(true);
        dialog.OnDeleteAll();
        EXPECT_EQ(Ui().Texts().back(), "127.0.0.1のフォルダ移動に失敗しました。");
        m_pUnit.reset();
        Ui().AnswerQuestion(true);
        dialog.OnDeleteAll();
        EXPECT_TRUE(Ui().Texts().back().ends_with("127.0.0.1への接続に失敗しました。"));
        EXPECT_EQ(Names(dialog), (std::vector<std::string>{"ABC", "D"}));
        EXPECT_EQ(dialog.m_aUnregistered, std::vector<std::string>{"U"});
        EXPECT_EQ(dialog.TitleEdit().text(), QStringLiteral("T"));
        StartUnit();
        dialog.OnClose();
    });
    CFileNo written;
    ASSERT_EQ(written.Load((m_store / "FileNList.fnl").string()), CFileNo::LOAD_OK);
    EXPECT_EQ(written.m_aData.size(), 2u);
    EXPECT_EQ(written.m_strTitle, "T");
}

// A memory pulled while the dialog is open cannot be listed: nothing was tried, and that is
// reported as a failure, not as a memory without programs.
TEST_F(FSousaDlgTest, DeleteAllOnAMemoryThatCannotBeListedReportsTheFailure) {
    Use(Transport::Usb);
    PutCatalogue({"ABC"}, "T");
    const fs::path pulled = m_store.string() + ".pulled";
    Run([&](CFSousaDlg& dialog) {
        fs::rename(m_store, pulled);
        Ui().AnswerQuestion(true);
        dialog.OnDeleteAll();
        ASSERT_EQ(Ui().Boxes().size(), 2u);
        EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Warning);
        EXPECT_EQ(Ui().Boxes()[1].strText, "消去できないファイルがありました。");
        EXPECT_EQ(Names(dialog), std::vector<std::string>{"ABC"});
        fs::rename(pulled, m_store);
        dialog.OnClose();
    });
    EXPECT_EQ(Contents(m_store), (std::set<std::string>{"ABC.NC", "FileNList.fnl", "PVN_RZK70"}));
}

TEST_F(FSousaDlgTest, MovesBlocksButNeverPastTheEdgesAndPrintsTheList) {
    Use(Transport::Usb);
    PutCatalogue({"A", "B", "C", "D", "E", "F"});
    Run([&](CFSousaDlg& dialog) {
        Select(dialog.FileList(), {0, 3});
        dialog.OnMoveUp();
        Select(dialog.FileList(), {2, 5});
        dialog.OnMoveDown();
        EXPECT_EQ(Names(dialog), (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
        EXPECT_FALSE(dialog.m_bModified);
        Select(dialog.FileList(), {2, 3, 4});
        dialog.OnMoveUp();
        EXPECT_EQ(Names(dialog), (std::vector<std::string>{"A", "C", "D", "E", "B", "F"}));
        EXPECT_EQ(SelectedRows(dialog.FileList()), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(dialog.FileList().GetCellText(1, 0), "    2");
        EXPECT_EQ(dialog.FileList().GetCellText(1, 1), "C");
        dialog.OnMoveDown();
        EXPECT_EQ(Names(dialog), (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));

        // The sheet calls the programs by name, under the title of the box.
        PrintRecord record;
        Ui().AnswerPrinter([&record](int, int, PrintRange&) {
            return std::make_unique<CRecordingPrintTarget>(record);
        });
        dialog.TitleEdit().setText(QStringLiteral("SHEET"));
        dialog.Button(1021).click();
        ASSERT_EQ(record.aPages.size(), 1u);
        std::set<std::string> aTexts;
        for (const PrintRecord::TextCall& text : record.aPages[0].aTexts) {
            aTexts.insert(text.strText);
        }
        EXPECT_TRUE(aTexts.contains("SHEET"));
        EXPECT_TRUE(aTexts.contains("F"));
        EXPECT_FALSE(record.aPages[0].aBars.empty());
        dialog.OnClose();
    });
}

TEST_F(FSousaDlgTest, TakesInUntilASaveDialogIsCancelled) {
    ForEachTransport([&](Transport) {
        PutCatalogue({"A", "B"});
        std::string strFirst = (m_exeDir / "pc" / "first.NC").string();
        Ui().AnswerSaveFile(strFirst);
        Ui().AnswerSaveFile(std::nullopt);
        std::string strCatalogue = Catalogue();
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.FileList(), {0, 1});
            dialog.OnTakeIn();
            EXPECT_EQ(SelectedRows(dialog.FileList()), std::vector<int>{1});
            EXPECT_TRUE(dialog.m_bModified);
            fs::remove(m_store / "FileNList.fnl");
            dialog.OnClose();
        });
        ASSERT_EQ(Ui().FileDialogs().size(), 2u);
        EXPECT_EQ(Ui().FileDialogs()[0].strFileName, "A.NC");
        EXPECT_EQ(Ui().FileDialogs()[1].strFileName, "B.NC");
        EXPECT_EQ(ReadFile(strFirst), "A");
        EXPECT_EQ(Catalogue(), strCatalogue);  // written again although unchanged
        EXPECT_TRUE(fs::exists(m_store / "A.NC"));
        EXPECT_TRUE(Ui().Texts().empty());
    });
}

// "中止" while the second program comes to the PC: the first stays taken in and is named,
// nothing of the second is on the PC, and the third selected entry is not offered.
TEST_F(FSousaDlgTest, AStoppedTakeInKeepsTheFilesDoneAndOffersNoMore) {
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    const std::string strLarge(4 * 1024 * 1024, 'G');
    ForEachTransport([&](Transport) {
        PutCatalogue({"A", "B", "C"});
        Put("B.NC", strLarge);
        fs::remove_all(m_exeDir / "pc");
        fs::create_directories(m_exeDir / "pc");
        Ui().AnswerSaveFile((m_exeDir / "pc" / "first.NC").string());
        Ui().AnswerSaveFile((m_exeDir / "pc" / "second.NC").string());
        CStopPress press(
            [](const CProgress::State& state) { return state.nBytesDone >= 2 * 1024 * 1024; });
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.FileList(), {0, 1, 2});
            dialog.OnTakeIn();
            EXPECT_TRUE(press.Pressed());
            EXPECT_EQ(Ui().Texts(),
                      std::vector<std::string>{"中止しました。\nfirst.NCを取り込みました。"});
            EXPECT_EQ(Ui().Boxes().back().kind, CFakeUiServices::BoxKind::Message);
            dialog.OnClose();
        });
        EXPECT_EQ(Ui().FileDialogs().size(), 2u);
        EXPECT_EQ(Contents(m_exeDir / "pc"), std::set<std::string>{"first.NC"});
        EXPECT_EQ(ReadFile(m_exeDir / "pc" / "first.NC"), "A");
        EXPECT_EQ(ReadFile(m_store / "B.NC"), strLarge);
    });
}

TEST_F(FSousaDlgTest, MovesUnregisteredFilesToThePcAsNewFiles) {
    ForEachTransport([&](Transport) {
        for (const char* pszName : {"P1.NC", "P2.NC", "P3.NC"}) {
            Put(pszName, pszName);
            struct timespec aOld[2] = {{946684800, 0}, {946684800, 0}};  // 2000-01-01
            utimensat(AT_FDCWD, (m_store / pszName).c_str(), aOld, 0);
        }
        std::string strFirst = (m_exeDir / "pc" / "one.NC").string();
        Ui().AnswerSaveFile(strFirst);
        Ui().AnswerSaveFile((m_exeDir / "pc" / "two.NC").string());
        Ui().AnswerSaveFile((m_exeDir / "missing" / "three.NC").string());
        auto start = fs::file_time_type::clock::now() - std::chrono::seconds(2);
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.UnregisteredList(), {0, 1, 2});
            dialog.OnMoveUnregistered();
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"three.NCの登録に失敗しました。"});
            EXPECT_EQ(dialog.m_aUnregistered, std::vector<std::string>{"P3"});
            EXPECT_EQ(SelectedRows(dialog.UnregisteredList()), std::vector<int>{0});
            EXPECT_FALSE(dialog.m_bModified);
            dialog.OnClose();
        });
        EXPECT_EQ(ReadFile(strFirst), "P1.NC");
        EXPECT_GT(fs::last_write_time(strFirst), start);
        struct stat status {};
        ASSERT_EQ(stat(strFirst.c_str(), &status), 0);
        EXPECT_GT(status.st_atime, std::time(nullptr) - 60);
        EXPECT_EQ(Contents(m_store),
                  (std::set<std::string>{"FileNList.fnl", "PVN_RZK70", "P3.NC"}));
    });
}

// Taking an unregistered file over onto the memory's file itself (its own path, a link to it;
// on FAT also the same name in other case, the same file as well) would copy it onto itself and
// then delete it: it is refused, and the program stays.
TEST_F(FSousaDlgTest, MovingAFileOntoItselfOnTheMemoryIsRefused) {
    Use(Transport::Usb);
    Put("P1.NC", "");
    fs::path hardLink = m_exeDir / "pc" / "hard.NC";
    fs::path symbolicLink = m_exeDir / "pc" / "symbolic.NC";
    fs::create_hard_link(m_store / "P1.NC", hardLink);
    fs::create_symlink(m_store / "P1.NC", symbolicLink);
    for (const fs::path& path : {m_store / "P1.NC", hardLink, symbolicLink}) {
        SCOPED_TRACE(path.string());
        std::ofstream(m_store / "P1.NC") << "the only copy";
        Ui().ClearRecord();
        Ui().AnswerSaveFile(path.string());
        Run([&](CFSousaDlg& dialog) {
            Select(dialog.UnregisteredList(), {0});
            dialog.OnMoveUnregistered();
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{path.filename().string() +
                                                             "の登録に失敗しました。"});
            EXPECT_EQ(dialog.m_aUnregistered, std::vector<std::string>{"P1"});
            dialog.OnClose();
        });
        EXPECT_EQ(ReadFile(m_store / "P1.NC"), "the only copy");
    }
}

TEST_F(FSousaDlgTest, FirstOpeningOverTheNetworkCreatesTheEmptyCatalogue) {
    Use(Transport::Network);
    Run([&](CFSousaDlg& dialog) {
        EXPECT_EQ(Catalogue(), kEmptyCatalogue);
        EXPECT_EQ(dialog.FileList().GetItemCount(), 1);
        Put("FileNList.fnl", "unchanged");
        dialog.OnClose();
    });
    EXPECT_EQ(Catalogue(), "unchanged");
    EXPECT_EQ(Contents(m_exeDir), (std::set<std::string>{"Data/", "pc/", "unit/"}));
}

// On the memory, a damaged catalogue keeps the entries read before the damage, one without
// entries is written empty at once, and one that cannot be written back is reported by path.
TEST_F(FSousaDlgTest, TheCatalogueOnTheMemoryIsKeptOrWrittenAsAnOperatorExpects) {
    Use(Transport::Usb);
    const std::string strDamaged =
        "#ListHead Section Start\r\nPRNTITLE=T\r\nFNOCOUNT=3\r\n#ListHead Section End\r\n"
        "#FileNo Section Start\r\nNO=1\r\nNAME=A\r\nECT=\r\n#FileNo Section End\r\n";
    Put("FileNList.fnl", strDamaged);
    Run([&](CFSousaDlg& dialog) {
        EXPECT_EQ(Names(dialog), std::vector<std::string>{"A"});
        dialog.OnClose();
    });
    EXPECT_EQ(Catalogue(), strDamaged);

    Put("FileNList.fnl",
        "#ListHead Section Start\r\nPRNTITLE=OLD\r\nFNOCOUNT=0\r\n#ListHead Section End\r\n");
    std::string strPath = (m_store / "FileNList.fnl").string();
    Run([&](CFSousaDlg& dialog) {
        EXPECT_EQ(Catalogue(), kEmptyCatalogue);
        dialog.TitleEdit().setText(QStringLiteral("NEW"));
        fs::remove(strPath);
        fs::create_directories(strPath);
        dialog.OnClose();
        EXPECT_EQ(Ui().Texts(), std::vector<std::string>{strPath + " の上書きに失敗しました。"});
        EXPECT_TRUE(dialog.isVisible());
        fs::remove(strPath);
        dialog.OnClose();
    });
    EXPECT_NE(Catalogue().find("PRNTITLE=NEW"), std::string::npos);
}

// A catalogue that is on the unit but cannot be read is reported, naming the file and why, and
// the dialog does not open: only one that the listing does not show is made anew, and the
// catalogue stays as it was.
TEST_F(FSousaDlgTest, ACatalogueThatIsThereButCannotBeReadIsReportedAndKept) {
    fs::path catalogue;
    auto expectRefusedOpening = [&](const std::string& strReason) {
        std::string strBefore = fs::is_directory(catalogue) ? "" : ReadFile(catalogue);
        Ui().ClearRecord();
        CFSousaDlg dialog;
        EXPECT_FALSE(dialog.OnInitDialog());
        EXPECT_EQ(Ui().Texts(), std::vector<std::string>{
                                    "FileNList.fnlの読み込みに失敗しました。\n" + strReason});
        EXPECT_EQ(fs::is_directory(catalogue) ? "" : ReadFile(catalogue), strBefore);
        EXPECT_FALSE(fs::exists(m_exeDir / "FileNList.fnl"));
        EXPECT_FALSE(fs::exists(m_exeDir / "tmp_FileNList.fnl"));
    };

    Use(Transport::Usb);
    catalogue = m_store / "FileNList.fnl";
    fs::create_directories(catalogue);
    expectRefusedOpening("同じ名前のフォルダがあります。");

    // More than the full disk lets through.
    std::vector<std::string> aNames;
    for (int nName = 1; nName <= 100; ++nName) {
        aNames.push_back(Format("P%d", nName));
    }
    Use(Transport::Network);
    catalogue = m_store / "FileNList.fnl";
    StartUnit({"--refuse-once", "RETR"});
    PutCatalogue(aNames);
    expectRefusedOpening("ユニットが送信を拒否しました。");
    Run([&](CFSousaDlg& dialog) {
        EXPECT_EQ(Names(dialog), aNames);
        dialog.OnClose();
    });
    {
        CFullDisk fullDisk;
        expectRefusedOpening("ディスクの空きがありません。");
    }

    CVsftpd vsftpd;
    if (std::string strReason = vsftpd.Start({"cmds_denied=RETR"}); !strReason.empty()) {
        GTEST_SKIP() << "vsftpd cannot serve here: " << strReason;
    }
    m_store = vsftpd.PubFolder();
    catalogue = m_store / "FileNList.fnl";
    App().FtpPort = vsftpd.Port();
    PutCatalogue(aNames);
    expectRefusedOpening("ユニットが送信を拒否しました。");
}

TEST_F(FSousaDlgTest, ClosingReportsTheFailuresOfTheUnit) {
    Use(Transport::Network);
    struct {
        std::vector<std::string> aOptions;
        std::string strMessageEnd;
    } const aCases[] = {
        {{"--refuse", "CWD"}, "/pub/フォルダ移動に失敗しました。"},
        {{"--refuse", "STOR"}, (m_exeDir / "FileNList.fnl").string() + " の上書きに失敗しました。"},
        {{}, "\n127.0.0.1への接続に失敗しました。"},
    };
    for (const auto& testCase : aCases) {
        StartUnit();
        Ui().ClearRecord();
        Run([&](CFSousaDlg& dialog) {
            dialog.TitleEdit().setText(QStringLiteral("NEW"));
            if (testCase.aOptions.empty()) {
                m_pUnit.reset();
            } else {
                StartUnit(testCase.aOptions);
            }
            dialog.OnClose();
            dialog.OnClose();
        });
        ASSERT_EQ(Ui().Boxes().size(), 2u);
        EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
        EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with(testCase.strMessageEnd))
            << Ui().Boxes()[0].strText;
        EXPECT_EQ(Catalogue(), kEmptyCatalogue);
        EXPECT_FALSE(fs::exists(m_exeDir / "FileNList.fnl"));
    }
}

TEST_F(FSousaDlgTest, AnUnreachableUnitIsReportedAndTheDialogDoesNotOpen) {
    Use(Transport::Network);
    m_pUnit.reset();
    CFSousaDlg dialog;
    EXPECT_FALSE(dialog.OnInitDialog());
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with("\n127.0.0.1への接続に失敗しました。"));
    EXPECT_EQ(Contents(m_exeDir), (std::set<std::string>{"Data/", "pc/", "unit/"}));
}

// A unit that refuses to list its root is reported: an empty unregistered list would say that
// the store holds no programs beside the catalogue's.
TEST_F(FSousaDlgTest, AStoreRootThatCannotBeListedIsReportedAndTheDialogDoesNotOpen) {
    Use(Transport::Network);
    StartUnit({"--refuse", "LIST"});
    PutCatalogue({"P1"});
    CFSousaDlg dialog;
    EXPECT_FALSE(dialog.OnInitDialog());
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"ストアの一覧を取得できませんでした。"});
}

}  // namespace
