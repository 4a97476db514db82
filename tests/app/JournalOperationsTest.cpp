#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "journal/HistoryCompareDlg.h"
#include "journal/Journal.h"
#include "journal/JournalDlg.h"
#include "journal/JournalRecord.h"
#include "maint/HosyuDlg.h"
#include "numlist/FKanri2Dlg.h"
#include "numlist/FKanriDlg.h"
#include "numlist/FNoInDlg.h"
#include "numlist/FSousaDlg.h"
#include "numlist/FileNo.h"
#include "platform/Digest.h"
#include "platform/ListView.h"
#include "platform/Text.h"
#include "platform/WaitDlg.h"
#include "settings/SetDlg.h"
#include "tests/app/OperationFrameFixture.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/StopPress.h"
#include "transfer/MRetDlg.h"
#include "transfer/OBunkaiDlg.h"
#include "transfer/ProgramCompare.h"
#include "transfer/SampleDlg.h"
#include "transfer/SelInTypeDlg.h"
#include "unitstore/StoreWatch.h"

namespace {

namespace fs = std::filesystem;

const std::string kP1 = "%\r\nO0001\r\nG00 X0\r\nM30\r\n%\r\n";
const std::string kP2 = "%\r\nO0002\r\nG01 X1. F100\r\nM30\r\n%\r\n";
const std::string kInput = "%\r\nO0005\r\nM30\r\nO0006\r\nM30\r\n%\r\n";
const std::string kWaiting = "%\r\nO0007\r\nM30\r\n%\r\n";
const std::string kUnregistered = "%\r\nO0009\r\nM30\r\n%\r\n";
// Expected where the old bytes are some the test did not write itself.
const std::string kAnyKept = "*";

class JournalOperationsTest : public OperationFrameTest {
protected:
    // The PC's programs and the unit's memory as the operations below expect them: the marker, the
    // input file, a program waiting to be taken over, the maintenance files and two files no list
    // names.
    void UseStore(bool bNetwork, const std::vector<std::string>& aUnitFaults = {}) {
        for (const auto& entry : fs::directory_iterator(m_pc.Path())) {
            fs::remove_all(entry.path());
        }
        WriteBytes(m_pc / "P1.NC", kP1);
        WriteBytes(m_pc / "P2.NC", kP2);
        if (bNetwork) {
            UseUnit(aUnitFaults);
        } else {
            UseStick(false);
        }
        m_strStore = bNetwork ? m_pUnit->PubFolder() : App().UsbDrive;
        fs::create_directories(m_strStore + "RzFilesIn");
        fs::create_directories(m_strStore + "images");
        WriteBytes(m_strStore + "PVN_RZK70", "");
        WriteBytes(m_strStore + "RZKIN", kInput);
        WriteBytes(m_strStore + "RzFilesIn/0007.fno", kWaiting);
        WriteBytes(m_strStore + "images/INFO.INI", "NAME=RZK-70\r\n");
        WriteBytes(m_strStore + "images/RZK70.REQ", "BNUMEX=1\r\n");
        WriteBytes(m_strStore + "UNREG1", kUnregistered);
        WriteBytes(m_strStore + "UNREG2", kUnregistered + kUnregistered);
        // The journal window reaches the unit of a line through the line's machine profile.
        App().SetData.SaveProfile(App().SetFilePath);
        App().OpenShopMemory();
    }

    // The number registration from the main window; act plays the operator in it, then it is
    // closed.
    void InNumbers(CRZKSETDlg& dialog, const std::function<void(CFKanriDlg&)>& act) {
        ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
            act(numbers);
            numbers.OnClose();
        });
        Press(dialog, 1008);
    }

    // "登録" of a PC file under the number the registration offers, or under nNo.
    void RegisterNumber(CFKanriDlg& numbers, const std::string& strPcFile, int nNo = 0) {
        Ui().AnswerOpenFiles({m_pc / strPcFile});
        ExpectDialog<CFNoInDlg>(Ui(), [nNo](CFNoInDlg& number) {
            if (nNo > 0) {
                number.NumberEdit().setText(QString::number(nNo));
            }
            number.OnOK();
        });
        numbers.Button(1033).click();
    }

    // The numbers of the unit's list, in its order (an emptied list loads with a count fault).
    std::vector<int> UnitNumbers() const {
        CFileNo list;
        list.Load(m_strStore + "RzFilesOut/FileList.fno");
        std::vector<int> aNumbers;
        for (const FILENODATA& entry : list.m_aData) {
            aNumbers.push_back(entry.nNo);
        }
        return aNumbers;
    }

    // The receive's choice of the split, into the folder of that name in the PC folder.
    void AnswerSplitInto(const char* pszFolder) {
        ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& choice) { choice.OnSplit(); });
        ExpectDialog<COBunkaiDlg>(Ui(), [&, pszFolder](COBunkaiDlg& split) {
            std::string strBase = m_pc.Path();
            Ui().AnswerBrowseFolder(strBase.substr(0, strBase.size() - 1));
            split.OnBrowse();
            split.FolderNameEdit().setText(QString::fromUtf8(pszFolder));
            split.OnOK();
        });
    }

    std::vector<JournalRecord> Lines() const { return App().ShopMemory()->Journal().ReadAll(); }

    // The newest line of that operation and unit name; an empty record when there is none.
    JournalRecord NewestLine(const char* pszOperation, const std::string& strUnitName) const {
        std::vector<JournalRecord> aLines = Lines();
        auto found = std::find_if(aLines.rbegin(), aLines.rend(), [&](const JournalRecord& line) {
            return line.strOperation == pszOperation && line.strUnitName == strUnitName;
        });
        return found == aLines.rend() ? JournalRecord() : *found;
    }

    // The bytes that went over in the newest line of that operation and unit name.
    std::string ReadBytesOfLine(const char* pszOperation, const std::string& strUnitName) const {
        return App()
            .ShopMemory()
            ->History()
            .Load(NewestLine(pszOperation, strUnitName).strSha256)
            .value_or("");
    }

    static void Press(CRZKSETDlg& dialog, int nId) { OperationFrameTest::Press(dialog, nId); }

    // The journal window from the main window's context menu; act plays the operator in it.
    void InJournalWindow(CRZKSETDlg& dialog, const std::function<void(CJournalDlg&)>& act) {
        ExpectDialog<CJournalDlg>(Ui(), [&](CJournalDlg& window) {
            act(window);
            window.reject();
        });
        ChooseFromMenu(dialog, QStringLiteral("履歴(&H)"));
    }

    CTestFolder m_pc;
    std::string m_strStore;
};

std::string Describe(const std::vector<JournalRecord>& aLines) {
    std::string strText;
    for (const JournalRecord& record : aLines) {
        strText += record.ToJsonLine() + "\n";
    }
    return strText;
}

// One line per program moved, replaced or deleted, from the control the operator uses, over
// the unit and the USB memory: the command's name, the direction, the names on both sides,
// the SHA-256 of the bytes and the outcome.
TEST_F(JournalOperationsTest, EveryOperationWritesItsJournalLine) {
    struct Expected {
        const char* pszOperation;
        const char* pszDirection;
        std::string strUnitName;
        std::string strBytes;  // what went over or was removed
        std::string strKept;   // the old bytes the history keeps; empty for none
        std::string strSources = {};
    };
    struct Case {
        const char* pszName;
        bool bUsbOnly;
        std::function<void(CRZKSETDlg&)> run;
        std::vector<Expected> aExpected;
    };
    const std::string kSend = "ＲＺＫ－７０へＮＣプログラムを登録";
    const std::string kReceive = "ＲＺＫ－７０からＮＣプログラムを取り出し";
    const std::string kFiles = "ファイル操作";
    const std::string kNumbers = "番号登録";
    const std::string kImport = "番号取込";
    const std::vector<Case> aCases = {
        {"send one file",
         false,
         [&](CRZKSETDlg& dialog) {
             Ui().AnswerOpenFiles({m_pc / "P1.NC"});
             Press(dialog, 1000);
         },
         {{"ＲＺＫ－７０へＮＣプログラムを登録", JournalRecord::kDirectionToUnit, "RZKOUT", kP1,
           ""}}},
        {"send merged, replacing the first",
         false,
         [&](CRZKSETDlg& dialog) {
             Ui().AnswerOpenFiles({m_pc / "P1.NC", m_pc / "P2.NC"});
             ExpectDialog<CMRetDlg>(Ui(), [](CMRetDlg& list) { list.accept(); });
             Press(dialog, 1000);
         },
         {{"ＲＺＫ－７０へＮＣプログラムを登録", JournalRecord::kDirectionToUnit, "RZKOUT", "", kP1,
           "P1.NC; P2.NC"}}},
        {"receive into one file",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& choice) { choice.OnNormal(); });
             Ui().AnswerSaveFile(m_pc / "P1.NC");
             Press(dialog, 1001);
         },
         {{"ＲＺＫ－７０からＮＣプログラムを取り出し", JournalRecord::kDirectionToPc, "RZKIN",
           kInput, kP1}}},
        {"receive split",
         false,
         [&](CRZKSETDlg& dialog) {
             AnswerSplitInto("SPLIT");
             Press(dialog, 1001);
         },
         {{"ＲＺＫ－７０からＮＣプログラムを取り出し", JournalRecord::kDirectionToPc, "RZKIN",
           "%\r\nO0005\r\nM30\r\n%", ""},
          {"ＲＺＫ－７０からＮＣプログラムを取り出し", JournalRecord::kDirectionToPc, "RZKIN",
           "%\r\nO0006\r\nM30\r\n%", ""}}},
        {"sample program",
         false,
         [&](CRZKSETDlg& dialog) {
             Ui().AnswerQuestion(true);
             ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& sample) { sample.OnOK(); });
             Press(dialog, 1014);
         },
         {{"サンプル作成", JournalRecord::kDirectionToUnit, "RZKOUT", "", kAnyKept}}},
        {"number registration",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
                 Ui().AnswerOpenFiles({m_pc / "P2.NC"});
                 ExpectDialog<CFNoInDlg>(Ui(), [](CFNoInDlg& number) { number.OnOK(); });
                 numbers.Button(1033).click();
                 numbers.OnClose();
             });
             Press(dialog, 1008);
         },
         {{"番号登録 / 登録", JournalRecord::kDirectionToUnit, "RzFilesOut/0001.fno", kP2, ""}}},
        {"number list deletion",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
                 numbers.FileList().SetSelected(0, true);
                 numbers.Button(1031).click();
                 numbers.OnClose();
             });
             Press(dialog, 1008);
         },
         {{"番号登録 / 消去", JournalRecord::kDirectionDeleteOnUnit, "RzFilesOut/0001.fno", kP2,
           kP2}}},
        {"number delete all",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
                 Ui().AnswerOpenFiles({m_pc / "P1.NC"});
                 ExpectDialog<CFNoInDlg>(Ui(), [](CFNoInDlg& number) { number.OnOK(); });
                 numbers.Button(1033).click();
                 Ui().AnswerQuestion(true);
                 numbers.Button(1032).click();
                 numbers.OnClose();
             });
             Press(dialog, 1008);
         },
         {{"番号登録 / 全消去", JournalRecord::kDirectionDeleteOnUnit, "RzFilesOut/0001.fno", "",
           kAnyKept}}},
        {"number import",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFKanri2Dlg>(Ui(), [&](CFKanri2Dlg& import) {
                 import.FileList().SetSelected(0, true);
                 Ui().AnswerSaveFile(m_pc / "IMPORTED.NC");
                 import.Button(1040).click();
                 import.reject();
             });
             Press(dialog, 1011);
         },
         {{"番号取込 / 取込", JournalRecord::kDirectionToPc, "RzFilesIn/0007.fno", kWaiting, ""},
          {"番号取込 / 取込", JournalRecord::kDirectionDeleteOnUnit, "RzFilesIn/0007.fno", kWaiting,
           kWaiting}}},
        {"file operations: register, take in, delete",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
                 Ui().AnswerOpenFiles({m_pc / "P2.NC"});
                 files.Button(1016).click();
                 files.FileList().SetSelected(0, true);
                 Ui().AnswerSaveFile(m_pc / "TAKEN.NC");
                 files.Button(1023).click();
                 files.FileList().SetSelected(0, true);
                 files.Button(1017).click();
                 files.OnClose();
             });
             Press(dialog, 1004);
         },
         {{"ファイル操作 / 登録", JournalRecord::kDirectionToUnit, "P2.NC", kP2, ""},
          {"ファイル操作 / 取込", JournalRecord::kDirectionToPc, "P2.NC", kP2, ""},
          {"ファイル操作 / 消去", JournalRecord::kDirectionDeleteOnUnit, "P2.NC", kP2, kP2}}},
        {"file operations: unregistered files moved to the PC and deleted",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
                 files.UnregisteredList().SetSelected(0, true);
                 Ui().AnswerSaveFile(m_pc / "MOVED.NC");
                 files.Button(1027).click();
                 files.UnregisteredList().SetSelected(0, true);
                 files.Button(1024).click();
                 files.OnClose();
             });
             Press(dialog, 1004);
         },
         {{"ファイル操作 / 取込", JournalRecord::kDirectionToPc, "UNREG1", kUnregistered, ""},
          {"ファイル操作 / 取込", JournalRecord::kDirectionDeleteOnUnit, "UNREG1", kUnregistered,
           kUnregistered},
          {"ファイル操作 / 消去", JournalRecord::kDirectionDeleteOnUnit, "UNREG2",
           kUnregistered + kUnregistered, kUnregistered + kUnregistered}}},
        {"file operations: delete all",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
                 Ui().AnswerOpenFiles({m_pc / "P1.NC"});
                 files.Button(1016).click();
                 Ui().AnswerQuestion(true);
                 files.Button(1015).click();
                 files.OnClose();
             });
             Press(dialog, 1004);
         },
         {{"ファイル操作 / 全消去", JournalRecord::kDirectionDeleteOnUnit, "P1.NC", kInput,
           kInput}}},
        {"maintenance deletion",
         false,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CHosyuDlg>(Ui(), [&](CHosyuDlg& maintenance) {
                 Ui().AnswerQuestion(true);
                 maintenance.Button(1041).click();
                 maintenance.OnClose();
             });
             Press(dialog, 1012);
         },
         {{"保守", JournalRecord::kDirectionDeleteOnUnit, "images/INFO.INI", "NAME=RZK-70\r\n",
           "NAME=RZK-70\r\n"},
          {"保守", JournalRecord::kDirectionDeleteOnUnit, "images/RZK70.REQ", "BNUMEX=1\r\n",
           "BNUMEX=1\r\n"}}},
        {"unit configuration written",
         true,
         [&](CRZKSETDlg& dialog) {
             ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) { settings.OnOK(); });
             Press(dialog, 1013);
         },
         {{"設定", JournalRecord::kDirectionToUnit, "rzksys/PVNRSIO.INI", "", ""},
          {"設定", JournalRecord::kDirectionToUnit, "rzksys/interfaces", "", ""}}},
    };
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseStore(bNetwork);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        for (const Case& testCase : aCases) {
            if (testCase.bUsbOnly && bNetwork) {
                continue;
            }
            SCOPED_TRACE(testCase.pszName);
            size_t nBefore = Lines().size();
            Ui().ClearRecord();
            testCase.run(dialog);
            for (const CFakeUiServices::Box& box : Ui().Boxes()) {
                EXPECT_NE(box.kind, CFakeUiServices::BoxKind::Warning) << box.strText;
            }
            std::vector<JournalRecord> aAll = Lines();
            std::vector<JournalRecord> aNew(aAll.begin() + static_cast<long>(nBefore), aAll.end());
            for (const Expected& expected : testCase.aExpected) {
                SCOPED_TRACE(expected.strUnitName);
                auto found = std::find_if(aNew.begin(), aNew.end(), [&](const JournalRecord& r) {
                    return r.strOperation == expected.pszOperation &&
                           r.strDirection == expected.pszDirection &&
                           r.strUnitName == expected.strUnitName &&
                           (expected.strBytes.empty() ||
                            r.strSha256 == Sha256Hex(expected.strBytes));
                });
                ASSERT_NE(found, aNew.end()) << Describe(aNew);
                EXPECT_EQ(found->strOutcome, JournalRecord::kOutcomeDone);
                EXPECT_EQ(found->strSources, expected.strSources);
                EXPECT_EQ(found->strProfile, "１号機");
                EXPECT_EQ(found->strTransport, bNetwork ? "ftp" : "usb");
                if (expected.strKept == kAnyKept) {
                    EXPECT_EQ(found->strKept.size(), 64U);
                } else {
                    EXPECT_EQ(found->strKept,
                              expected.strKept.empty() ? "" : Sha256Hex(expected.strKept));
                }
                if (!expected.strBytes.empty()) {
                    EXPECT_EQ(found->nSize, static_cast<int64_t>(expected.strBytes.size()));
                }
            }
        }
        m_pUnit.reset();
    }
}

// The waiting program deleted from the number import, as the operator confirms it.
void DeleteWaitingProgram(CFakeUiServices& ui, CRZKSETDlg& dialog) {
    ExpectDialog<CFKanri2Dlg>(ui, [&](CFKanri2Dlg& import) {
        import.FileList().SetSelected(0, true);
        import.Button(1039).click();
        import.reject();
    });
    static_cast<QAbstractButton*>(dialog.Item(1011))->click();
}

// A copy that cannot be kept (the history folder cannot be made) asks the operator, default
// No; No leaves the unit's program where it is, Yes deletes it without a copy. Both are in
// the journal.
TEST_F(JournalOperationsTest, ADeletionWithoutACopyNeedsTheOperatorsWord) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        fs::remove_all(m_exeDir / "History");
        WriteBytes(m_exeDir / "History", "a file where the folder would be");
        UseStore(bNetwork);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        const std::string strQuestion =
            "RzFilesIn/0007.fnoの写しを履歴に残せませんでした。\n写しを残さずに続けますか？";

        for (bool bGoOn : {false, true}) {
            SCOPED_TRACE(bGoOn ? "go on" : "stop");
            Ui().ClearRecord();
            Ui().AnswerQuestion(true);
            Ui().AnswerQuestion(bGoOn);
            DeleteWaitingProgram(Ui(), dialog);
            ASSERT_GE(Ui().Boxes().size(), 2U);
            EXPECT_EQ(Ui().Boxes()[1].strText, strQuestion);
            EXPECT_TRUE(Ui().Boxes()[1].bDefaultNo);
            EXPECT_EQ(fs::exists(m_strStore + "RzFilesIn/0007.fno"), !bGoOn);
            const JournalRecord last = Lines().back();
            EXPECT_EQ(last.strUnitName, "RzFilesIn/0007.fno");
            EXPECT_EQ(last.strOutcome,
                      bGoOn ? JournalRecord::kOutcomeDone : JournalRecord::kOutcomeRefused);
            EXPECT_EQ(last.strKept, "");
        }
        m_pUnit.reset();
        fs::remove(m_exeDir / "History");
    }
}

// A deletion the unit refuses leaves the program in place: its line names no kept version,
// though the program was kept first, since there is nothing to restore.
TEST_F(JournalOperationsTest, ADeletionTheUnitRefusesNamesNoKeptVersion) {
    UseStore(true, {"--refuse", "DELE"});
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().AnswerQuestion(true);
    DeleteWaitingProgram(Ui(), dialog);
    EXPECT_EQ(ReadBytes(m_strStore + "RzFilesIn/0007.fno"), kWaiting);
    const JournalRecord last = Lines().back();
    EXPECT_EQ(last.strUnitName, "RzFilesIn/0007.fno");
    EXPECT_EQ(last.strOutcome, JournalRecord::kOutcomeFailed);
    EXPECT_EQ(last.strKept, "");
    EXPECT_TRUE(App().ShopMemory()->History().Holds(Sha256Hex(kWaiting)));
}

// RZKSET.ini's section "Journal" turns the net and the journal off: nothing is fetched, kept,
// asked or written, and the operation runs as it always did.
TEST_F(JournalOperationsTest, TheNetAndTheJournalCanBeTurnedOff) {
    WriteBytes(m_exeDir / "RZKSET.ini", "[Journal]\r\nJournal=0\r\nHistory=0\r\n");
    UseStore(true);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().AnswerQuestion(true);
    DeleteWaitingProgram(Ui(), dialog);
    EXPECT_EQ(Ui().Boxes().size(), 1U);
    EXPECT_FALSE(fs::exists(m_strStore + "RzFilesIn/0007.fno"));
    EXPECT_FALSE(fs::exists(m_exeDir / "History"));
    EXPECT_FALSE(fs::exists(m_exeDir / CJournal::kFileName));
}

// A PC file that a receive wrote over comes back from the history as it was.
TEST_F(JournalOperationsTest, APcFileOverwrittenByAReceiveIsKept) {
    UseStore(true);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& choice) { choice.OnNormal(); });
    Ui().AnswerSaveFile(m_pc / "P1.NC");
    Press(dialog, 1001);
    EXPECT_EQ(ReadBytes(m_pc / "P1.NC"), kInput);
    const JournalRecord last = Lines().back();
    EXPECT_EQ(last.strPcPath, m_pc / "P1.NC");
    EXPECT_EQ(App().ShopMemory()->History().Load(last.strKept), kP1);
}

// A journal that cannot be written fails no operation; the operator hears of it once, when
// the first operation that could not write its lines has ended.
TEST_F(JournalOperationsTest, AJournalThatCannotBeWrittenIsReportedOnce) {
    fs::create_directories(m_exeDir / CJournal::kFileName);
    UseStore(true);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    for (int nSend = 0; nSend < 2; ++nSend) {
        Ui().AnswerOpenFiles({m_pc / "P1.NC"});
        Press(dialog, 1000);
        EXPECT_EQ(ReadBytes(m_strStore + "RZKOUT"), kP1);
    }
    EXPECT_EQ(Ui().Texts(),
              (std::vector<std::string>{"P1.NCの登録が正常終了しました。",
                                        (m_exeDir / CJournal::kFileName).string() +
                                            "に操作の記録を書き込めませんでした。\n"
                                            "操作は続けますが、記録の残らない操作があります。",
                                        "P1.NCの登録が正常終了しました。"}));
}

// A journal that ends in half a line, as a program killed long ago left it: the send's line
// starts on a line of its own and shows in the window, which tells of the line it cannot show.
TEST_F(JournalOperationsTest, HalfALineLeftInTheJournalIsCountedAndTheNextLineShows) {
    UseStore(true);
    WriteBytes(m_exeDir / CJournal::kFileName,
               R"({"time":"2026-12-10T17:02:11+0900","profile":"１号機","operation":"ＲＺ)");
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().AnswerOpenFiles({m_pc / "P1.NC"});
    Press(dialog, 1000);

    InJournalWindow(dialog, [&](CJournalDlg& window) {
        ASSERT_EQ(window.ShownRows(), 1);
        EXPECT_EQ(window.RowRecord(0).strUnitName, "RZKOUT");
        EXPECT_EQ(window.RowRecord(0).strSha256, Sha256Hex(kP1));
        EXPECT_EQ(static_cast<QLabel*>(window.Item(1109))->text().toStdString(),
                  "読めない行が1行ありました。");
    });
}

// A program the program put itself is deleted without fetching it again while the history
// keeps its bytes and the unit shows the size and time seen right after the put: the journal
// line names the bytes put. Bytes put there by someone else since, in the same size but at
// another time, also 2 seconds later within the same minute, are fetched and kept.
TEST_F(JournalOperationsTest, WhatTheProgramPutIsFetchedAgainOnlyWhenTheUnitShowsAChange) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseStore(bNetwork);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        auto inNumbers = [&](const std::function<void(CFKanriDlg&)>& act) {
            ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
                act(numbers);
                numbers.OnClose();
            });
            Press(dialog, 1008);
        };
        auto registerP1 = [&](CFKanriDlg& numbers) {
            Ui().AnswerOpenFiles({m_pc / "P1.NC"});
            ExpectDialog<CFNoInDlg>(Ui(), [](CFNoInDlg& number) { number.OnOK(); });
            numbers.Button(1033).click();
        };
        auto deleteAll = [&](CFKanriDlg& numbers) {
            Ui().AnswerQuestion(true);
            numbers.Button(1032).click();
        };
        const std::string strProgram = m_strStore + "RzFilesOut/0001.fno";
        inNumbers(registerP1);
        const std::string strPut = ReadBytes(strProgram);
        inNumbers(deleteAll);

        for (int nSecondsLater : {0, 2, 120}) {
            SCOPED_TRACE(nSecondsLater);
            WaitForSecondsLeftInMinute(10);
            inNumbers(registerP1);
            struct stat put {};
            ASSERT_EQ(stat(strProgram.c_str(), &put), 0);
            const std::string strOther(strPut.size(), 'X');
            WriteBytes(strProgram, strOther);
            timespec aTimes[2] = {put.st_mtim, put.st_mtim};
            aTimes[1].tv_sec += nSecondsLater;
            ASSERT_EQ(utimensat(AT_FDCWD, strProgram.c_str(), aTimes, 0), 0);
            inNumbers(deleteAll);
            EXPECT_FALSE(fs::exists(strProgram));
            const JournalRecord line = NewestLine("番号登録 / 全消去", "RzFilesOut/0001.fno");
            EXPECT_EQ(line.strOutcome, JournalRecord::kOutcomeDone);
            EXPECT_EQ(line.strKept, Sha256Hex(nSecondsLater == 0 ? strPut : strOther));
        }
        m_pUnit.reset();
    }
}

// A listing that could not be read whole tells nothing of the names it does not show: the
// send fetches RZKOUT before it replaces it, and the line's kept names the old bytes. Where
// the unit answers that there is no RZKOUT, the send goes on without asking and keeps nothing.
TEST_F(JournalOperationsTest, ASendKeepsTheOldOutputWhereTheListingIsDamaged) {
    const std::string kOld = "%\r\nO0042(OLD)\r\nM30\r\n%\r\n";
    const struct {
        const char* pszName;
        std::vector<std::string> aFaults;
    } aCases[] = {
        {"one line without its end", {"--list-line", "100"}},
        {"RZKOUT's line garbled", {"--garble-list-entry", "RZKOUT"}},
    };
    for (const auto& testCase : aCases) {
        for (bool bThere : {true, false}) {
            SCOPED_TRACE(std::string(testCase.pszName) + (bThere ? ", there" : ", new"));
            UseStore(true, testCase.aFaults);
            if (bThere) {
                WriteBytes(m_strStore + "RZKOUT", kOld);
            }
            CRZKSETDlg dialog;
            dialog.OnInitDialog();
            Ui().ClearRecord();
            Ui().AnswerOpenFiles({m_pc / "P1.NC"});
            Press(dialog, 1000);
            EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"P1.NCの登録が正常終了しました。"});
            EXPECT_EQ(ReadBytes(m_strStore + "RZKOUT"), kP1);
            const JournalRecord line = NewestLine("ＲＺＫ－７０へＮＣプログラムを登録", "RZKOUT");
            EXPECT_EQ(line.strOutcome, JournalRecord::kOutcomeDone);
            EXPECT_EQ(line.strKept, bThere ? Sha256Hex(kOld) : "");
            if (bThere) {
                EXPECT_EQ(App().ShopMemory()->History().Load(line.strKept).value_or(""), kOld);
            }
            m_pUnit.reset();
        }
    }
}

// Where the listing is damaged and the unit refuses the fetch without saying that the file is
// missing (450, not 550), the send cannot tell whether it would replace a program: it asks,
// No by default, and No leaves the unit's RZKOUT as it was, with a refused line.
TEST_F(JournalOperationsTest, AFetchRefusedOtherwiseAfterADamagedListingAsks) {
    const std::string kOld = "%\r\nO0042(OLD)\r\nM30\r\n%\r\n";
    UseStore(true, {"--garble-list-entry", "RZKOUT", "--busy-file", "RZKOUT"});
    WriteBytes(m_strStore + "RZKOUT", kOld);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().ClearRecord();
    Ui().AnswerOpenFiles({m_pc / "P1.NC"});
    Ui().AnswerQuestion(false);
    Press(dialog, 1000);
    ASSERT_FALSE(Ui().Boxes().empty());
    EXPECT_EQ(Ui().Boxes()[0].strText,
              "RZKOUTの写しを履歴に残せませんでした。\n写しを残さずに続けますか？");
    EXPECT_TRUE(Ui().Boxes()[0].bDefaultNo);
    EXPECT_EQ(ReadBytes(m_strStore + "RZKOUT"), kOld);
    EXPECT_EQ(NewestLine("ＲＺＫ－７０へＮＣプログラムを登録", "RZKOUT").strOutcome,
              JournalRecord::kOutcomeRefused);
}

// The row of the window that shows the line; -1 when none does.
int RowOf(CJournalDlg& window, const char* pszOperation, const std::string& strUnitName) {
    for (int nRow = 0; nRow < window.ShownRows(); ++nRow) {
        const JournalRecord& record = window.RowRecord(nRow);
        if (record.strOperation == pszOperation && record.strUnitName == strUnitName) {
            return nRow;
        }
    }
    return -1;
}

// A send or receive that the operator stops with "中止", or that the unit refuses, replaces
// nothing: its line says so and names neither bytes that went over nor a kept version, though
// the old bytes were kept first, and the window offers neither compare nor restore for it.
TEST_F(JournalOperationsTest, WorkThatReplacedNothingNamesNoKeptVersion) {
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    std::string strLarge = "%\r\nO0010\r\n";
    while (strLarge.size() < 8 * 1024 * 1024) {
        strLarge += "G01 X1.0 Y2.0 Z-3.0 F500\r\n";
    }
    strLarge += "M30\r\n%\r\n";
    const char* const kSend = "ＲＺＫ－７０へＮＣプログラムを登録";
    const char* const kReceive = "ＲＺＫ－７０からＮＣプログラムを取り出し";
    struct Case {
        const char* pszName;
        bool bSend;
        std::vector<std::string> aUnitOptions;  // a unit of these options only, no memory
        bool bStop;
        std::string strOutcome;
        const char* pszShown;
    };
    const Case aCases[] = {
        {"send stopped", true, {}, true, JournalRecord::kOutcomeStopped, "中止"},
        {"receive stopped", false, {}, true, JournalRecord::kOutcomeStopped, "中止"},
        {"send refused", true, {"--refuse", "STOR"}, false, JournalRecord::kOutcomeFailed, "失敗"},
    };
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        // The memory is mounted once; each case starts a unit of its own options.
        if (!bNetwork) {
            UseStore(false);
        }
        for (const Case& testCase : aCases) {
            if (!bNetwork && !testCase.aUnitOptions.empty()) {
                continue;
            }
            SCOPED_TRACE(testCase.pszName);
            if (bNetwork) {
                UseStore(true, testCase.aUnitOptions);
            }
            WriteBytes(m_strStore + "RZKOUT", kP2);
            WriteBytes(m_strStore + "RZKIN", strLarge);
            WriteBytes(m_pc / "LARGE.NC", strLarge);
            CRZKSETDlg dialog;
            dialog.OnInitDialog();
            CStopPress press([&testCase](const CProgress::State& state) {
                return testCase.bStop && state.nBytesDone >= 4 * 1024 * 1024;
            });
            if (testCase.bSend) {
                Ui().AnswerOpenFiles({m_pc / "LARGE.NC"});
                Press(dialog, 1000);
            } else {
                ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& choice) { choice.OnNormal(); });
                Ui().AnswerSaveFile(m_pc / "P1.NC");
                Press(dialog, 1001);
            }
            EXPECT_EQ(press.Pressed(), testCase.bStop);
            const std::string strOld = testCase.bSend ? kP2 : kP1;
            EXPECT_EQ(ReadBytes(testCase.bSend ? m_strStore + "RZKOUT" : m_pc / "P1.NC"), strOld);
            const char* pszOperation = testCase.bSend ? kSend : kReceive;
            const std::string strUnitName = testCase.bSend ? "RZKOUT" : "RZKIN";
            const JournalRecord line = NewestLine(pszOperation, strUnitName);
            EXPECT_EQ(line.strOutcome, testCase.strOutcome) << line.ToJsonLine();
            EXPECT_EQ(line.strKept, "");
            EXPECT_EQ(line.nSize, 0);
            EXPECT_EQ(line.strSha256, "");
            EXPECT_TRUE(App().ShopMemory()->History().Holds(Sha256Hex(strOld)));

            InJournalWindow(dialog, [&](CJournalDlg& window) {
                int nRow = RowOf(window, pszOperation, strUnitName);
                ASSERT_GE(nRow, 0);
                window.List().SetSelected(nRow, true);
                EXPECT_EQ(window.List().GetCellText(nRow, 7), testCase.pszShown);
                EXPECT_FALSE(window.Button(1106).isEnabled());
                EXPECT_FALSE(window.Button(1107).isEnabled());
            });
        }
        m_pUnit.reset();
    }
}

// The split stopped while it writes a program over a PC file: that program's line says
// stopped and names no kept version, though what the PC file held was kept first; the file
// holds it still.
TEST_F(JournalOperationsTest, ASplitStoppedNamesTheProgramUnderWayStopped) {
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    std::string strBody;
    while (strBody.size() < 100 * 1024) {
        strBody += "G01 X1.0 Y2.0 Z-3.0 F500\r\n";
    }
    std::string strTape = "%\r\n";
    for (int nProgram = 1; nProgram <= 20; ++nProgram) {
        strTape += "O" + std::to_string(1000 + nProgram).substr(1) + "\r\n" + strBody + "M30\r\n";
    }
    strTape += "%\r\n";
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseStore(bNetwork);
        WriteBytes(m_strStore + "RZKIN", strTape);
        const std::string strUnderWay = m_pc / "SPLIT/O0011.NC";
        fs::create_directories(m_pc / "SPLIT");
        WriteBytes(strUnderWay, kP1);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        AnswerSplitInto("SPLIT");
        CStopPress press(
            [](const CProgress::State& state) { return state.strFileName == "O0011.NC"; });
        Press(dialog, 1001);

        ASSERT_TRUE(press.Pressed());
        EXPECT_EQ(ReadBytes(strUnderWay), kP1);
        std::vector<JournalRecord> aLines = Lines();
        auto line = std::find_if(aLines.rbegin(), aLines.rend(), [&](const JournalRecord& record) {
            return record.strPcPath == strUnderWay;
        });
        ASSERT_NE(line, aLines.rend()) << Describe(aLines);
        EXPECT_EQ(line->strOutcome, JournalRecord::kOutcomeStopped);
        EXPECT_EQ(line->strKept, "");
        EXPECT_TRUE(App().ShopMemory()->History().Holds(Sha256Hex(kP1)));
        m_pUnit.reset();
    }
}

// "中止" pressed while the unit's old program is fetched to be kept: the operator is asked
// nothing more, the program stays, and the line says stopped.
TEST_F(JournalOperationsTest, AStopWhileTheOldProgramIsFetchedAsksNothing) {
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    UseStore(true);
    const std::string strOld(8 * 1024 * 1024, 'G');
    WriteBytes(m_strStore + "RZKOUT", strOld);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    CStopPress press(
        [](const CProgress::State& state) { return state.nBytesDone >= 4 * 1024 * 1024; });
    Ui().AnswerOpenFiles({m_pc / "P1.NC"});
    Press(dialog, 1000);

    ASSERT_TRUE(press.Pressed());
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"中止しました。"});
    EXPECT_EQ(ReadBytes(m_strStore + "RZKOUT"), strOld);
    const JournalRecord line = NewestLine("ＲＺＫ－７０へＮＣプログラムを登録", "RZKOUT");
    EXPECT_EQ(line.strOutcome, JournalRecord::kOutcomeStopped);
    EXPECT_EQ(line.strKept, "");
}

// After "全消去" of the numbered and the named programs, each comes back onto the unit from
// the journal window, byte for byte, with its entry in the list of its folder.
TEST_F(JournalOperationsTest, ProgramsDeletedByDeleteAllAreRestoredWithTheirListEntries) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseStore(bNetwork);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
            Ui().AnswerOpenFiles({m_pc / "P1.NC"});
            ExpectDialog<CFNoInDlg>(Ui(), [](CFNoInDlg& number) { number.OnOK(); });
            numbers.Button(1033).click();
            numbers.OnClose();
        });
        Press(dialog, 1008);
        ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
            Ui().AnswerOpenFiles({m_pc / "P2.NC"});
            files.Button(1016).click();
            files.OnClose();
        });
        Press(dialog, 1004);
        // Another day: both lists emptied.
        ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
            Ui().AnswerQuestion(true);
            numbers.Button(1032).click();
            numbers.OnClose();
        });
        Press(dialog, 1008);
        ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
            Ui().AnswerQuestion(true);
            files.Button(1015).click();
            files.OnClose();
        });
        Press(dialog, 1004);
        const std::string strNumbered = ReadBytesOfLine("番号登録 / 登録", "RzFilesOut/0001.fno");
        ASSERT_FALSE(fs::exists(m_strStore + "RzFilesOut/0001.fno"));
        ASSERT_FALSE(fs::exists(m_strStore + "P2.NC"));

        for (const auto& [pszOperation, strUnitName] :
             {std::pair<const char*, std::string>{"番号登録 / 全消去", "RzFilesOut/0001.fno"},
              {"ファイル操作 / 全消去", "P2.NC"}}) {
            SCOPED_TRACE(strUnitName);
            Ui().ClearRecord();
            InJournalWindow(dialog, [&](CJournalDlg& window) {
                int nRow = RowOf(window, pszOperation, strUnitName);
                ASSERT_GE(nRow, 0);
                window.List().SetSelected(nRow, true);
                EXPECT_TRUE(window.Button(1107).isEnabled());
                Ui().AnswerQuestion(true);
                window.Button(1107).click();
            });
            EXPECT_EQ(Ui().Texts().back(), strUnitName + "を復元しました。");
        }
        EXPECT_EQ(ReadBytes(m_strStore + "RzFilesOut/0001.fno"), strNumbered);
        EXPECT_EQ(ReadBytes(m_strStore + "P2.NC"), kP2);
        CFileNo numbers;
        ASSERT_EQ(numbers.Load(m_strStore + "RzFilesOut/FileList.fno"), CFileNo::LOAD_OK);
        ASSERT_EQ(numbers.m_aData.size(), 1U);
        EXPECT_EQ(numbers.m_aData[0].nNo, 1);
        CFileNo names;
        ASSERT_EQ(names.Load(m_strStore + "FileNList.fnl"), CFileNo::LOAD_OK);
        ASSERT_EQ(names.m_aData.size(), 1U);
        EXPECT_EQ(names.m_aData[0].strName, "P2.NC");
        m_pUnit.reset();
    }
}

// The window over a receive that replaced a PC file and a send: typing filters the rows, the
// shown rows go out as CSV, the kept version is compared with the file that replaced it and
// restored to its PC path.
TEST_F(JournalOperationsTest, TheWindowFiltersExportsComparesAndRestoresAPcFile) {
    UseStore(true);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& choice) { choice.OnNormal(); });
    Ui().AnswerSaveFile(m_pc / "P1.NC");
    Press(dialog, 1001);
    Ui().AnswerOpenFiles({m_pc / "P2.NC"});
    Press(dialog, 1000);
    Ui().ClearRecord();

    InJournalWindow(dialog, [&](CJournalDlg& window) {
        ASSERT_EQ(window.ShownRows(), 2);
        EXPECT_EQ(window.RowRecord(0).strUnitName, "RZKOUT");  // newest first
        EXPECT_TRUE(static_cast<QLabel*>(window.Item(1109))->text().isEmpty());
        window.Edit(1103).setText(QStringLiteral("p1.nc"));
        ASSERT_EQ(window.ShownRows(), 1);
        EXPECT_EQ(window.RowRecord(0).strUnitName, "RZKIN");
        window.Edit(1104).setText(QStringLiteral("1999-"));
        EXPECT_EQ(window.ShownRows(), 0);
        window.Edit(1104).clear();

        Ui().AnswerSaveFile(m_pc / "journal.csv");
        window.Button(1108).click();
        std::string strCsv = ReadBytes(m_pc / "journal.csv");
        EXPECT_TRUE(
            strCsv.starts_with("time,profile,transport,address,operation,direction,"
                               "pc_path,unit_name,size,sha256,outcome,message,kept,"
                               "sources\r\n"));
        EXPECT_NE(strCsv.find(",RZKIN,30," + Sha256Hex(kInput) + ",done,," + Sha256Hex(kP1)),
                  std::string::npos)
            << strCsv;
        EXPECT_EQ(std::count(strCsv.begin(), strCsv.end(), '\n'), 2);

        window.List().SetSelected(0, true);
        std::string strDifference;
        ExpectDialog<CHistoryCompareDlg>(Ui(), [&](CHistoryCompareDlg& compare) {
            strDifference = static_cast<QLabel*>(compare.Item(1201))->text().toStdString();
            // The views show lines; their ends are the views' own.
            EXPECT_EQ(compare.KeptText().toPlainText().toStdString(), "%\nO0001\nG00 X0\nM30\n%\n");
            EXPECT_EQ(compare.CurrentText().toPlainText().toStdString(),
                      "%\nO0005\nM30\nO0006\nM30\n%\n");
            compare.reject();
        });
        window.Button(1106).click();
        EXPECT_EQ(strDifference, DifferenceText(FirstDifference(kP1, kInput)));

        Ui().AnswerQuestion(true);
        window.Button(1107).click();
    });
    EXPECT_EQ(ReadBytes(m_pc / "P1.NC"), kP1);
    EXPECT_EQ(Ui().Texts().back(), m_pc / "P1.NC" + "を復元しました。");
    const JournalRecord last = Lines().back();
    EXPECT_EQ(last.strOperation, "履歴 / 復元");
    EXPECT_EQ(last.strSha256, Sha256Hex(kP1));
    EXPECT_EQ(last.strKept, Sha256Hex(kInput));
}

// The row of the newest line of that operation and unit name selected, and "復元" pressed and
// confirmed; answers the text of the question.
std::string RestoreRow(CFakeUiServices& ui, CJournalDlg& window, const char* pszOperation,
                       const std::string& strUnitName) {
    int nRow = RowOf(window, pszOperation, strUnitName);
    EXPECT_GE(nRow, 0) << strUnitName;
    window.List().SetSelected(nRow, true);
    EXPECT_TRUE(window.Button(1107).isEnabled());
    size_t nBoxes = ui.Boxes().size();
    ui.AnswerQuestion(true);
    window.Button(1107).click();
    return ui.Boxes().size() > nBoxes ? ui.Boxes()[nBoxes].strText : std::string();
}

// A line written by a send to machine 2 is compared with, and restored to, machine 2's unit
// while machine 1 is current, and the question names it; a line whose machine is gone or has
// another address now, or whose USB memory is not the one in use, is refused and reaches no
// unit.
TEST_F(JournalOperationsTest, CompareAndRestoreReachTheLinesMachineOnly) {
    UseStore(true);
    WriteBytes(m_strStore + "RZKOUT", "machine 1's program");
    CUnitSimulator unit2({"--address", "127.0.0.2", "--port", std::to_string(m_pUnit->Port())});
    WriteBytes(unit2.PubFolder() + "PVN_RZK70", "");
    WriteBytes(unit2.PubFolder() + "RZKOUT", "machine 2's program");
    CSetData machine2 = App().SetData;
    machine2.IP4 = 2;
    ASSERT_TRUE(machine2.SaveProfile(App().ProfileFilePath("２号機")));
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    ASSERT_TRUE(App().SelectProfile("２号機"));
    Ui().AnswerOpenFiles({m_pc / "P1.NC"});
    Press(dialog, 1000);
    ASSERT_EQ(ReadBytes(unit2.PubFolder() + "RZKOUT"), kP1);
    ASSERT_TRUE(App().SelectProfile("１号機"));
    const char* pszSend = "ＲＺＫ－７０へＮＣプログラムを登録";

    Ui().ClearRecord();
    InJournalWindow(dialog, [&](CJournalDlg& window) {
        window.List().SetSelected(RowOf(window, pszSend, "RZKOUT"), true);
        ExpectDialog<CHistoryCompareDlg>(Ui(), [&](CHistoryCompareDlg& compare) {
            EXPECT_EQ(compare.KeptText().toPlainText().toStdString(), "machine 2's program");
            EXPECT_EQ(compare.CurrentText().toPlainText().toStdString(),
                      "%\nO0001\nG00 X0\nM30\n%\n");
            compare.reject();
        });
        window.Button(1106).click();
        EXPECT_EQ(RestoreRow(Ui(), window, pszSend, "RZKOUT"),
                  "２号機（127.0.0.2）のRZKOUTを履歴の版に戻します。\nよろしいですか？");
    });
    EXPECT_EQ(Ui().Texts().back(), "RZKOUTを復元しました。");
    EXPECT_EQ(ReadBytes(unit2.PubFolder() + "RZKOUT"), "machine 2's program");
    EXPECT_EQ(ReadBytes(m_strStore + "RZKOUT"), "machine 1's program");

    struct Refusal {
        const char* pszName;
        std::function<void()> change;
        std::string strWarning;
    };
    const std::vector<Refusal> aRefusals = {
        {"another address now",
         [&] {
             machine2.IP4 = 3;
             machine2.SaveProfile(App().ProfileFilePath("２号機"));
         },
         "２号機のアドレスが変わっています（この行は127.0.0.2、今は127.0.0.3）。"},
        {"the profile is gone", [&] { fs::remove(App().ProfileFilePath("２号機")); },
         "機械「２号機」の設定がありません。"},
    };
    for (const Refusal& refusal : aRefusals) {
        SCOPED_TRACE(refusal.pszName);
        refusal.change();
        std::map<std::string, std::string> aBefore = Everything();
        aBefore.merge(Snapshot(unit2.PubFolder()));
        Ui().ClearRecord();
        InJournalWindow(dialog, [&](CJournalDlg& window) {
            window.List().SetSelected(RowOf(window, pszSend, "RZKOUT"), true);
            window.Button(1106).click();
            window.Button(1107).click();
        });
        const std::string strWarning = refusal.strWarning + "\nこの行の比較と復元はできません。";
        EXPECT_EQ(Ui().Texts(), (std::vector<std::string>{strWarning, strWarning}));
        std::map<std::string, std::string> aAfter = Everything();
        aAfter.merge(Snapshot(unit2.PubFolder()));
        aBefore.erase(m_exeDir / CJournal::kFileName);
        aAfter.erase(m_exeDir / CJournal::kFileName);
        EXPECT_EQ(aAfter, aBefore);
    }
}

// A line of the USB memory goes back only onto that memory, with the USB transport in use.
TEST_F(JournalOperationsTest, AUsbLineIsRestoredOnlyOntoItsMemory) {
    UseStore(false);
    const std::string strMemory = m_strStore;
    WriteBytes(strMemory + "RZKOUT", "the memory's program");
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().AnswerOpenFiles({m_pc / "P1.NC"});
    Press(dialog, 1000);
    const char* pszSend = "ＲＺＫ－７０へＮＣプログラムを登録";
    UseUnit({});
    WriteBytes(m_pUnit->PubFolder() + "PVN_RZK70", "");
    WriteBytes(m_pUnit->PubFolder() + "RZKOUT", "the unit's program");
    Ui().ClearRecord();
    InJournalWindow(dialog, [&](CJournalDlg& window) {
        window.List().SetSelected(RowOf(window, pszSend, "RZKOUT"), true);
        window.Button(1107).click();
    });
    EXPECT_EQ(
        Ui().Texts(),
        (std::vector<std::string>{"この行はＵＳＢメモリ（" + strMemory +
                                  "）のものです。\nＵＳＢメモリを使っての操作で、そのメモリを選んで"
                                  "ください。\nこの行の比較と復元はできません。"}));
    EXPECT_EQ(ReadBytes(m_pUnit->PubFolder() + "RZKOUT"), "the unit's program");

    App().Sousa = 0;
    Ui().ClearRecord();
    InJournalWindow(dialog,
                    [&](CJournalDlg& window) { RestoreRow(Ui(), window, pszSend, "RZKOUT"); });
    EXPECT_EQ(Ui().Texts().back(), "RZKOUTを復元しました。");
    EXPECT_EQ(ReadBytes(strMemory + "RZKOUT"), "the memory's program");
}

// A history file whose bytes are not what its name says is never taken as the copy: a send
// keeps the old program anew, the skip before a deletion fetches again when the kept file's
// size is not the listed one, and the window offers no version it has not checked.
TEST_F(JournalOperationsTest, AVersionIsTrustedOnlyForItsBytes) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        fs::remove_all(m_exeDir / "History");
        fs::remove(m_exeDir / CJournal::kFileName);
        UseStore(bNetwork);
        const std::string strOld = "the unit's old program";
        WriteBytes(m_strStore + "RZKOUT", strOld);
        fs::create_directories(m_exeDir / "History");
        WriteBytes(m_exeDir / "History" / Sha256Hex(strOld), "damaged");
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        Ui().AnswerOpenFiles({m_pc / "P1.NC"});
        Press(dialog, 1000);
        const char* pszSend = "ＲＺＫ－７０へＮＣプログラムを登録";
        EXPECT_EQ(NewestLine(pszSend, "RZKOUT").strKept, Sha256Hex(strOld));
        EXPECT_EQ(App().ShopMemory()->History().Load(Sha256Hex(strOld)), strOld);

        // Registered, then its kept bytes cut short: the deletion fetches and keeps them again.
        InNumbers(dialog, [&](CFKanriDlg& numbers) { RegisterNumber(numbers, "P2.NC"); });
        WriteBytes(m_exeDir / "History" / Sha256Hex(kP2), kP2.substr(0, 5));
        InNumbers(dialog, [&](CFKanriDlg& numbers) {
            Ui().AnswerQuestion(true);
            numbers.Button(1032).click();
        });
        EXPECT_EQ(NewestLine("番号登録 / 全消去", "RzFilesOut/0001.fno").strKept, Sha256Hex(kP2));
        EXPECT_EQ(App().ShopMemory()->History().Load(Sha256Hex(kP2)), kP2);

        // The same size, other bytes: nothing to offer.
        WriteBytes(m_exeDir / "History" / Sha256Hex(kP2), std::string(kP2.size(), 'X'));
        InJournalWindow(dialog, [&](CJournalDlg& window) {
            window.List().SetSelected(RowOf(window, "番号登録 / 全消去", "RzFilesOut/0001.fno"),
                                      true);
            EXPECT_FALSE(window.Button(1107).isEnabled());
            EXPECT_FALSE(window.Button(1106).isEnabled());
            window.List().ClearAllSelection();
            window.List().SetSelected(RowOf(window, pszSend, "RZKOUT"), true);
            EXPECT_TRUE(window.Button(1107).isEnabled());
        });
        m_pUnit.reset();
    }
}

// A send of a PC file that has gone since it was chosen never reaches the unit: nothing is
// kept or replaced, and the message says why; a program taken over from RzFilesIn that is no
// longer on the unit says so in the unit's words.
TEST_F(JournalOperationsTest, AFailureSaysWhyAndASendThatNeverReachedTheUnitKeepsNothing) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseStore(bNetwork);
        WriteBytes(m_strStore + "RZKOUT", "the unit's program");
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        size_t nLines = Lines().size();
        Ui().ClearRecord();
        dialog.SendFiles({m_pc / "GONE.NC"});
        ASSERT_FALSE(Ui().Texts().empty());
        EXPECT_EQ(Ui().Texts().back(),
                  "GONE.NCの登録に失敗しました。\nファイルまたはフォルダが見つかりません。");
        EXPECT_EQ(ReadBytes(m_strStore + "RZKOUT"), "the unit's program");
        EXPECT_EQ(Lines().size(), nLines);

        Ui().ClearRecord();
        ExpectDialog<CFKanri2Dlg>(Ui(), [&](CFKanri2Dlg& import) {
            fs::remove(m_strStore + "RzFilesIn/0007.fno");
            import.FileList().SetSelected(0, true);
            Ui().AnswerSaveFile(m_pc / "IMPORTED.NC");
            import.Button(1040).click();
            import.reject();
        });
        Press(dialog, 1011);
        ASSERT_FALSE(Ui().Texts().empty());
        EXPECT_EQ(Ui().Texts().back(), "IMPORTED.NCの登録に失敗しました。\nファイルがありません。");
        m_pUnit.reset();
    }
}

// Stands between the store and the shop's memory and notes, at each deletion the memory lets
// go ahead, whether every version kept so far is on the disk.
class CDurabilityWatch : public IStoreWatch {
public:
    explicit CDurabilityWatch(CShopMemory& memory) : m_memory(memory) {}

    void OnConnect(const CUnitStore& store) override { m_memory.OnConnect(store); }
    bool BeforeStoreChange(CUnitStore& store, const std::string& strStoreName,
                           bool bRemove) override {
        bool bGoOn = m_memory.BeforeStoreChange(store, strStoreName, bRemove);
        if (bGoOn && bRemove) {
            m_aDurableAtDeletion.push_back(m_memory.History().IsDurable());
        }
        return bGoOn;
    }
    void BeforeStoreChanges(CUnitStore& store, const std::vector<std::string>& aNames) override {
        m_memory.BeforeStoreChanges(store, aNames);
    }
    void OnListed(CUnitStore& store, const std::vector<FtpListEntry>& aEntries) override {
        m_memory.OnListed(store, aEntries);
    }
    void BeforeLeaveFolder(CUnitStore& store) override { m_memory.BeforeLeaveFolder(store); }
    bool BeforeLocalReplace(const std::string& strLocalPath) override {
        return m_memory.BeforeLocalReplace(strLocalPath);
    }
    void AfterPut(const CUnitStore& store, const std::string& strLocalPath,
                  const std::string& strStoreName, bool bDone) override {
        m_memory.AfterPut(store, strLocalPath, strStoreName, bDone);
    }
    void AfterGet(const CUnitStore& store, const std::string& strStoreName,
                  const std::string& strLocalPath, bool bDone) override {
        m_memory.AfterGet(store, strStoreName, strLocalPath, bDone);
    }
    void AfterRemove(const CUnitStore& store, const std::string& strStoreName,
                     bool bDone) override {
        m_memory.AfterRemove(store, strStoreName, bDone);
    }

    std::vector<bool> m_aDurableAtDeletion;

private:
    CShopMemory& m_memory;
};

// Every copy kept before a deletion is on the disk when the unit's file goes: "全消去" of more
// programs than one group keeps, and the deletion of one program.
TEST_F(JournalOperationsTest, KeptCopiesAreOnTheDiskBeforeTheUnitsFileGoes) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseStore(bNetwork);
        fs::create_directories(m_strStore + "RzFilesOut");
        for (int nNo = 1; nNo <= 70; ++nNo) {
            WriteBytes(m_strStore + "RzFilesOut/" + Format("%04d.fno", nNo),
                       PcProgram(std::to_string(nNo)));
        }
        CDurabilityWatch watch(*App().ShopMemory());
        CUnitStore::SetWatch(&watch);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        InNumbers(dialog, [&](CFKanriDlg& numbers) {
            Ui().AnswerQuestion(true);
            numbers.Button(1032).click();
        });
        Ui().AnswerQuestion(true);
        DeleteWaitingProgram(Ui(), dialog);
        CUnitStore::SetWatch(App().ShopMemory());
        EXPECT_EQ(watch.m_aDurableAtDeletion, std::vector<bool>(71, true));
        EXPECT_FALSE(fs::exists(m_strStore + "RzFilesOut/0070.fno"));
        for (int nNo = 1; nNo <= 70; ++nNo) {
            EXPECT_EQ(App().ShopMemory()->History().Load(Sha256Hex(PcProgram(std::to_string(nNo)))),
                      PcProgram(std::to_string(nNo)));
        }
        m_pUnit.reset();
    }
}

// An entry registered and deleted in one visit of the number registration comes back with its
// program, and an entry deleted from the middle of the list comes back in its place.
TEST_F(JournalOperationsTest, RestoreBringsTheListEntryBackInItsPlace) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        fs::remove(m_exeDir / CJournal::kFileName);
        UseStore(bNetwork);
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        InNumbers(dialog, [&](CFKanriDlg& numbers) {
            RegisterNumber(numbers, "P1.NC", 20);
            Ui().AnswerQuestion(true);
            numbers.Button(1032).click();
        });
        ASSERT_EQ(UnitNumbers(), std::vector<int>());
        InJournalWindow(dialog, [&](CJournalDlg& window) {
            RestoreRow(Ui(), window, "番号登録 / 全消去", "RzFilesOut/0020.fno");
        });
        EXPECT_EQ(ReadBytes(m_strStore + "RzFilesOut/0020.fno"), kP1);
        EXPECT_EQ(UnitNumbers(), std::vector<int>{20});

        InNumbers(dialog, [&](CFKanriDlg& numbers) {
            RegisterNumber(numbers, "P1.NC", 21);
            RegisterNumber(numbers, "P2.NC", 22);
        });
        ASSERT_EQ(UnitNumbers(), (std::vector<int>{20, 21, 22}));
        InNumbers(dialog, [&](CFKanriDlg& numbers) {
            numbers.FileList().SetSelected(1, true);
            numbers.Button(1031).click();
        });
        ASSERT_EQ(UnitNumbers(), (std::vector<int>{20, 22}));
        InJournalWindow(dialog, [&](CJournalDlg& window) {
            RestoreRow(Ui(), window, "番号登録 / 消去", "RzFilesOut/0021.fno");
        });
        EXPECT_EQ(UnitNumbers(), (std::vector<int>{20, 21, 22}));
        m_pUnit.reset();
    }
}

// The row of the window that shows the newest line of that direction; -1 when none does.
int RowOfDirection(CJournalDlg& window, const char* pszDirection) {
    for (int nRow = 0; nRow < window.ShownRows(); ++nRow) {
        if (window.RowRecord(nRow).strDirection == pszDirection) {
            return nRow;
        }
    }
    return -1;
}

// A PC file named in code page 932 bytes, as copied from a USB memory (Linux takes any bytes),
// taken in from a unit file named in code page 932 too: every journal line stays JSON in
// UTF-8, the window shows both names readably, and a restore of each reaches the very file.
TEST_F(JournalOperationsTest, NamesThatAreNotUtf8AreJournaledReadablyAndRestoredExactly) {
    UseStore(false);
    const std::string strPcFile = m_pc / "\x83\x65\x83\x58\x83\x67.NC";  // "テスト.NC"
    const std::string strUnitFile = "UNREGテスト";  // on the memory's disk; the unit's is CP932
    WriteBytes(strPcFile, kP1);
    WriteBytes(m_strStore + strUnitFile, kUnregistered);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
        for (int nRow = 0; nRow < files.UnregisteredList().GetItemCount(); ++nRow) {
            bool bOurs = files.UnregisteredList().GetCellText(nRow, 1) == strUnitFile;
            files.UnregisteredList().SetSelected(nRow, bOurs);
        }
        Ui().AnswerSaveFile(strPcFile);
        files.Button(1027).click();
        files.OnClose();
    });
    Press(dialog, 1004);
    ASSERT_EQ(ReadBytes(strPcFile), kUnregistered);
    ASSERT_FALSE(fs::exists(m_strStore + strUnitFile));

    std::string strJournal = ReadBytes(App().ShopMemory()->Journal().CurrentPath());
    EXPECT_TRUE(IsUtf8(strJournal));
    EXPECT_EQ(std::count(strJournal.begin(), strJournal.end(), '\n'), 2) << strJournal;
    EXPECT_EQ(Lines().size(), 2U) << strJournal;

    for (const char* pszDirection :
         {JournalRecord::kDirectionToPc, JournalRecord::kDirectionDeleteOnUnit}) {
        SCOPED_TRACE(pszDirection);
        Ui().ClearRecord();
        InJournalWindow(dialog, [&](CJournalDlg& window) {
            int nRow = RowOfDirection(window, pszDirection);
            ASSERT_GE(nRow, 0);
            EXPECT_EQ(window.List().GetCellText(nRow, 4), strUnitFile);
            if (std::string_view(pszDirection) == JournalRecord::kDirectionToPc) {
                EXPECT_EQ(window.List().GetCellText(nRow, 5), m_pc / "テスト.NC");
            }
            window.List().SetSelected(nRow, true);
            ASSERT_TRUE(window.Button(1107).isEnabled());
            Ui().AnswerQuestion(true);
            window.Button(1107).click();
        });
    }
    EXPECT_EQ(ReadBytes(strPcFile), kP1);
    EXPECT_EQ(ReadBytes(m_strStore + strUnitFile), kUnregistered);
    EXPECT_EQ(Ui().Texts().back(), strUnitFile + "を復元しました。");
}

// A damaged line (a size of "-" alone, cut or garbled by something other than the program)
// among good ones: the window opens from the context menu and shows the good lines.
TEST_F(JournalOperationsTest, ADamagedLineLeavesTheOthersInTheWindow) {
    App().OpenShopMemory();
    CJournal& journal = App().ShopMemory()->Journal();
    JournalRecord good;
    good.strTime = "2026-12-11T09:00:00+0900";
    good.strUnitName = "RZKOUT";
    ASSERT_TRUE(journal.Append(good));
    WriteBytes(journal.CurrentPath(),
               ReadBytes(journal.CurrentPath()) +
                   "{\"time\":\"2026-12-11T00:00:00+0900\",\"size\":-}\n"
                   "{\"time\":\"2026-12-11T00:00:01+0900\",\"size\":99999999999999999999}\n");
    good.strUnitName = "RZKIN";
    ASSERT_TRUE(journal.Append(good));
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    std::vector<std::string> aShown;
    InJournalWindow(dialog, [&](CJournalDlg& window) {
        for (int nRow = 0; nRow < window.ShownRows(); ++nRow) {
            aShown.push_back(window.List().GetCellText(nRow, 4));
        }
    });
    EXPECT_EQ(aShown, (std::vector<std::string>{"RZKIN", "RZKOUT"}));
}

}  // namespace
