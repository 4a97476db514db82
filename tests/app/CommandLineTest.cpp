// The command line as shop scripts use it: the built program run as a process without a
// display, against the unit simulator and a folder standing for the USB memory, judged by its
// exit status, its messages and the bytes that reached the unit or the PC.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "journal/Journal.h"
#include "journal/JournalRecord.h"
#include "tests/fakes/TestServers.h"

namespace {

struct ProgramRun {
    int nStatus = -1;
    std::string strOutput;  // standard output
    std::string strErrors;  // standard error
};

// A copy of the program in a folder of its own: run from there it keeps its profiles beside
// itself, so each test starts from the files it writes.
class CCommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(RZKSET_PROGRAM, m_folder / "RZKSET");
        std::filesystem::create_directory(m_folder / "Data");
    }

    // The application profile and the machine profile "１号機" of a unit at 127.0.0.1.
    void UseUnit(int nPort, int nSousa = 1, const std::string& strUsbDrive = "/") {
        WriteBytes(m_folder / "RZKSET.ini", "[System]\r\nSousa=" + std::to_string(nSousa) +
                                                "\r\nPort=" + std::to_string(nPort) +
                                                "\r\nUsbDrive=" + strUsbDrive + "\r\n");
        WriteBytes(m_folder / "Data/\xEF\xBC\x91号機.txt",
                   "#RZKSet Section Start\r\nIP1=127\r\nIP2=0\r\nIP3=0\r\nIP4=1\r\n"
                   "#RZKSet Section End\r\n");
    }

    // Runs the copy with the arguments in the test's folder, with neither a display nor a Qt
    // platform in its environment.
    ProgramRun Run(const std::vector<std::string>& aArguments) const {
        std::string strOut = m_folder / "stdout.txt";
        std::string strErr = m_folder / "stderr.txt";
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(m_folder.Path().c_str()) != 0 ||
                freopen(strOut.c_str(), "w", stdout) == nullptr ||
                freopen(strErr.c_str(), "w", stderr) == nullptr) {
                _exit(127);
            }
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("QT_QPA_PLATFORM");
            std::vector<char*> aArgv{const_cast<char*>("./RZKSET")};
            for (const std::string& strArgument : aArguments) {
                aArgv.push_back(const_cast<char*>(strArgument.c_str()));
            }
            aArgv.push_back(nullptr);
            execv(aArgv[0], aArgv.data());
            _exit(127);
        }
        int nWaitStatus = 0;
        waitpid(pid, &nWaitStatus, 0);
        return {WIFEXITED(nWaitStatus) ? WEXITSTATUS(nWaitStatus) : -1, ReadBytes(strOut),
                ReadBytes(strErr)};
    }

    // The journal the copy writes beside itself.
    std::vector<JournalRecord> JournalLines() const {
        return CJournal(m_folder.Path(), CJournal::kDefaultRotateBytes).ReadAll();
    }

    CTestFolder m_folder;
};

const std::string kProgramA = "%\r\nO0001\r\nG00X0\r\nM30\r\n%\r\n";
const std::string kProgramB = "%\r\nO0002\r\nG00X1\r\nM30\r\n%\r\n";
// Lower case, no end of program and no "%" frame: the tape check finds it.
const std::string kDoubtfulProgram = "o3\r\nG00X2\r\n";

// Files alone are what a file manager's "Open with" hands over: the window opens and sends them.
TEST(CommandLine, FilesAloneGoToTheWindowsSend) {
    CommandLine line = ParseCommandLine({"a.nc", "--", "--b.nc"});
    EXPECT_FALSE(line.IsConsole());
    EXPECT_EQ(line.aPaths, (std::vector<std::string>{"a.nc", "--b.nc"}));
    EXPECT_TRUE(line.strError.empty());
    EXPECT_FALSE(ParseCommandLine({}).IsConsole());
}

TEST_F(CCommandLineTest, SendsOneFileUnchangedAndSeveralMerged) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    WriteBytes(m_folder / "a.nc", kProgramA);
    WriteBytes(m_folder / "b.nc", kProgramB);

    ProgramRun one = Run({"--send", "a.nc"});
    EXPECT_EQ(one.nStatus, kExitDone) << one.strErrors;
    EXPECT_EQ(one.strOutput, "a.ncの登録が正常終了しました。\n");
    EXPECT_EQ(one.strErrors, "");
    EXPECT_EQ(ReadBytes(unit.PubFolder() + "RZKOUT"), kProgramA);

    ProgramRun two = Run({"--send", "a.nc", m_folder / "b.nc", "--transport", "network"});
    EXPECT_EQ(two.nStatus, kExitDone) << two.strErrors;
    EXPECT_EQ(two.strOutput, "2ファイルの登録が正常終了しました。\na.nc\nb.nc\n");
    std::string strTape = ReadBytes(unit.PubFolder() + "RZKOUT");
    EXPECT_NE(strTape.find("O0001"), std::string::npos);
    EXPECT_NE(strTape.find("O0002"), std::string::npos);
}

TEST_F(CCommandLineTest, TheTapeChecksFindingsStopTheSendUnlessForced) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    WriteBytes(m_folder / "c.nc", kDoubtfulProgram);
    std::string strBefore = ReadBytes(unit.PubFolder() + "RZKOUT");

    ProgramRun stopped = Run({"--send", "c.nc"});
    EXPECT_EQ(stopped.nStatus, kExitFailed);
    EXPECT_NE(stopped.strErrors.find("このまま登録しますか？"), std::string::npos);
    EXPECT_NE(stopped.strErrors.find("c.nc 1行目: 小文字「o3」"), std::string::npos);
    EXPECT_EQ(stopped.strErrors.find("正常終了"), std::string::npos);
    EXPECT_EQ(ReadBytes(unit.PubFolder() + "RZKOUT"), strBefore);

    ProgramRun forced = Run({"--force", "--send", "c.nc"});
    EXPECT_EQ(forced.nStatus, kExitDone) << forced.strErrors;
    EXPECT_NE(forced.strErrors.find("このまま登録しますか？"), std::string::npos);
    EXPECT_EQ(forced.strOutput, "c.ncの登録が正常終了しました。\n");
    EXPECT_EQ(ReadBytes(unit.PubFolder() + "RZKOUT"), kDoubtfulProgram);
}

// A copy that cannot be kept in the history is no finding of the tape check: --force does not
// answer it, so a forced send leaves the unit's program and says so in the journal; --no-copy
// replaces it without a copy.
TEST_F(CCommandLineTest, OnlyNoCopyReplacesAProgramWhoseCopyCannotBeKept) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    WriteBytes(m_folder / "History", "a file where the folder would be");
    WriteBytes(unit.PubFolder() + "RZKOUT", kProgramA);
    WriteBytes(m_folder / "c.nc", kDoubtfulProgram);
    const std::string strQuestion =
        "RZKOUTの写しを履歴に残せませんでした。\n写しを残さずに続けますか？\n";

    ProgramRun forced = Run({"--send", "c.nc", "--force"});
    EXPECT_EQ(forced.nStatus, kExitFailed);
    EXPECT_NE(forced.strErrors.find("--force: はい"), std::string::npos) << forced.strErrors;
    EXPECT_NE(forced.strErrors.find(strQuestion + "--no-copy がないので中止します。"),
              std::string::npos)
        << forced.strErrors;
    EXPECT_EQ(ReadBytes(unit.PubFolder() + "RZKOUT"), kProgramA);
    ASSERT_FALSE(JournalLines().empty());
    EXPECT_EQ(JournalLines().back().strOutcome, JournalRecord::kOutcomeRefused);
    EXPECT_EQ(JournalLines().back().strUnitName, "RZKOUT");

    ProgramRun noCopy = Run({"--send", "c.nc", "--force", "--no-copy"});
    EXPECT_EQ(noCopy.nStatus, kExitDone) << noCopy.strErrors;
    EXPECT_NE(noCopy.strErrors.find(strQuestion + "--no-copy: はい"), std::string::npos)
        << noCopy.strErrors;
    EXPECT_EQ(ReadBytes(unit.PubFolder() + "RZKOUT"), kDoubtfulProgram);
    EXPECT_EQ(JournalLines().back().strOutcome, JournalRecord::kOutcomeDone);
    EXPECT_EQ(JournalLines().back().strKept, "");
}

// Each command names itself on its journal lines, where the window's lines name its buttons,
// and a merged send names the files merged, as the window's send does.
TEST_F(CCommandLineTest, EachCommandNamesItsOperationInTheJournal) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    WriteBytes(m_folder / "a.nc", kProgramA);
    WriteBytes(m_folder / "b.nc", kProgramB);
    WriteBytes(unit.PubFolder() + "RzFilesIn/0012.fno", kProgramB);
    // What is taken in goes outside the program's own folder, where staging copies live.
    CTestFolder pc;
    struct Case {
        std::vector<std::string> aArguments;
        const char* pszOperation;
        const char* pszUnitName;
        const char* pszSources;
    };
    const Case aCases[] = {
        {{"--send", "a.nc"}, "コマンド / 送信", "RZKOUT", ""},
        {{"--send", "a.nc", "b.nc"}, "コマンド / 送信", "RZKOUT", "a.nc; b.nc"},
        {{"--receive", pc / "got.nc"}, "コマンド / 受信", "RZKIN", ""},
        {{"--register", "5", "a.nc"}, "コマンド / 番号登録", "RzFilesOut/0005.fno", ""},
        {{"--import", "12", pc / "imported.nc"}, "コマンド / 番号取込", "RzFilesIn/0012.fno", ""},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.aArguments.front() + " " + testCase.aArguments.back());
        size_t nBefore = JournalLines().size();
        ProgramRun run = Run(testCase.aArguments);
        ASSERT_EQ(run.nStatus, kExitDone) << run.strErrors;
        std::vector<JournalRecord> aLines = JournalLines();
        ASSERT_GT(aLines.size(), nBefore);
        bool bNamed = false;
        for (size_t nLine = nBefore; nLine < aLines.size(); ++nLine) {
            const JournalRecord& line = aLines[nLine];
            EXPECT_EQ(line.strOperation, testCase.pszOperation) << line.ToJsonLine();
            if (line.strUnitName == testCase.pszUnitName) {
                bNamed = true;
                EXPECT_EQ(line.strSources, testCase.pszSources);
            }
        }
        EXPECT_TRUE(bNamed);
    }
}

TEST_F(CCommandLineTest, ReceivesTheUnitsInputFile) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    ProgramRun run = Run({"--receive", "in/got.nc"});
    EXPECT_EQ(run.nStatus, kExitFailed);
    EXPECT_NE(run.strErrors.find("got.ncの登録に失敗しました。"), std::string::npos);

    run = Run({"--receive", "got.nc"});
    EXPECT_EQ(run.nStatus, kExitDone) << run.strErrors;
    EXPECT_EQ(run.strOutput, "got.ncの登録が正常終了しました。\n");
    EXPECT_EQ(ReadBytes(m_folder / "got.nc"), ReadBytes(unit.PubFolder() + "RZKIN"));
}

TEST_F(CCommandLineTest, RegistersNumberedProgramsAndTheirEntries) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    WriteBytes(m_folder / "a.nc", kProgramA);
    WriteBytes(m_folder / "b.nc", kProgramB);
    WriteBytes(m_folder / "c.nc", kDoubtfulProgram);

    ProgramRun run = Run({"--register", "5", "a.nc", "b.nc"});
    EXPECT_EQ(run.nStatus, kExitDone) << run.strErrors;
    EXPECT_EQ(run.strOutput, "a.ncを番号5に登録しました。\nb.ncを番号6に登録しました。\n");
    std::string strFolder = unit.PubFolder() + "RzFilesOut/";
    EXPECT_EQ(ReadBytes(strFolder + "0005.fno"), kProgramA);
    EXPECT_EQ(ReadBytes(strFolder + "0006.fno"), kProgramB);
    std::string strList = ReadBytes(strFolder + "FileList.fno");
    EXPECT_NE(strList.find("a.nc"), std::string::npos) << strList;
    EXPECT_NE(strList.find("b.nc"), std::string::npos) << strList;

    // A number the list holds is refused, whatever the tape check says.
    ProgramRun taken = Run({"--force", "--register", "6", "c.nc"});
    EXPECT_EQ(taken.nStatus, kExitFailed);
    EXPECT_NE(taken.strErrors.find("6は登録できません。"), std::string::npos) << taken.strErrors;
    EXPECT_EQ(ReadBytes(strFolder + "0006.fno"), kProgramB);

    ProgramRun stopped = Run({"--register", "7", "c.nc"});
    EXPECT_EQ(stopped.nStatus, kExitFailed);
    EXPECT_NE(stopped.strErrors.find("このまま登録しますか？"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(strFolder + "0007.fno"));
    EXPECT_EQ(ReadBytes(strFolder + "FileList.fno"), strList);
}

TEST_F(CCommandLineTest, ImportsAWaitingProgramAndRemovesItFromTheUnit) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    std::string strWaiting = unit.PubFolder() + "RzFilesIn/0012.fno";
    WriteBytes(strWaiting, kProgramB);

    ProgramRun run = Run({"--import", "12", "got.nc"});
    EXPECT_EQ(run.nStatus, kExitDone) << run.strErrors;
    EXPECT_EQ(run.strOutput, "got.ncの登録が正常終了しました。\n");
    EXPECT_EQ(ReadBytes(m_folder / "got.nc"), kProgramB);
    EXPECT_FALSE(std::filesystem::exists(strWaiting));

    ProgramRun missing = Run({"--import", "12", "again.nc"});
    EXPECT_EQ(missing.nStatus, kExitFailed);
    EXPECT_EQ(missing.strErrors, "again.ncの登録に失敗しました。\nファイルがありません。\n");
}

TEST_F(CCommandLineTest, AStoreThatIsNotReadyFailsWithTheWindowsMessages) {
    int nPort = 0;
    {
        CUnitSimulator gone;
        nPort = gone.Port();
    }
    UseUnit(nPort);
    WriteBytes(m_folder / "a.nc", kProgramA);
    ProgramRun unreachable = Run({"--send", "a.nc"});
    EXPECT_EQ(unreachable.nStatus, kExitFailed);
    EXPECT_NE(unreachable.strErrors.find("127.0.0.1への接続に失敗しました。"), std::string::npos)
        << unreachable.strErrors;

    // A plain folder is no USB memory: the readiness check refuses it before anything is read.
    std::string strUsbFolder = m_folder / "usb/";
    std::filesystem::create_directory(strUsbFolder);
    WriteBytes(strUsbFolder + "PVN_RZK70", "");
    UseUnit(nPort, 0, strUsbFolder);
    ProgramRun usb = Run({"--receive", "got.nc"});
    EXPECT_EQ(usb.nStatus, kExitFailed);
    EXPECT_EQ(usb.strErrors, "ドライブ：" + strUsbFolder + " はRZK-70では使用できません\n");
    EXPECT_FALSE(std::filesystem::exists(m_folder / "got.nc"));
}

// The report goes to standard output, where "> file" takes it, and as one JSON object with
// --json; a profile that is not there is named with the profiles there are.
TEST_F(CCommandLineTest, StatusReportsTheStoreCheckupAndFailsOnProblems) {
    CUnitSimulator unit({"--seed"});
    UseUnit(unit.Port());
    ProgramRun run = Run({"--status"});
    EXPECT_EQ(run.nStatus, kExitFailed);
    EXPECT_NE(run.strOutput.find("○ マーカーファイル PVN_RZK70: あり"), std::string::npos);
    EXPECT_NE(run.strOutput.find("1件の項目を確認してください。"), std::string::npos)
        << run.strOutput;
    EXPECT_EQ(run.strErrors, "");

    ProgramRun json = Run({"--status", "--json"});
    EXPECT_EQ(json.nStatus, kExitFailed);
    EXPECT_TRUE(json.strOutput.starts_with("{\"problems\":1,\"checks\":[{\"line\":"))
        << json.strOutput;
    EXPECT_NE(
        json.strOutput.find("{\"line\":\"マーカーファイル PVN_RZK70: あり\",\"problem\":false,"
                            "\"names\":[]}"),
        std::string::npos)
        << json.strOutput;

    CUnitSimulator refusing({"--refuse", "USER"});
    UseUnit(refusing.Port());
    ProgramRun down = Run({"--status", "--json"});
    EXPECT_EQ(down.nStatus, kExitFailed);
    EXPECT_TRUE(down.strOutput.starts_with("{\"failure\":\"")) << down.strOutput;

    for (const char* pszProfile : {"２号機", "無い機"}) {
        ProgramRun missing = Run({"--status", "--profile", pszProfile});
        EXPECT_EQ(missing.nStatus, kExitFailed);
        EXPECT_EQ(missing.strErrors, std::string("機械「") + pszProfile +
                                         "」の設定がありません。\n機械の設定: １号機\n");
    }
}

TEST_F(CCommandLineTest, HelpAndVersionNeedNoDisplayAndBadArgumentsAnswerTwo) {
    ProgramRun help = Run({"--help"});
    EXPECT_EQ(help.nStatus, kExitDone);
    EXPECT_NE(help.strOutput.find("rzkset --send FILE..."), std::string::npos);
    ProgramRun version = Run({"--version"});
    EXPECT_EQ(version.nStatus, kExitDone);
    EXPECT_EQ(version.strOutput, "rzkset " RZKSET_VERSION "\n");

    const std::vector<std::vector<std::string>> aBad = {
        {"--send"},
        {"--receive"},
        {"--receive", "a", "b"},
        {"--status", "a"},
        {"--send", "a", "--transport", "serial"},
        {"--send", "a", "--profile"},
        {"--send", "a", "--status"},
        {"--force", "a.nc"},
        {"--no-copy", "a.nc"},
        {"--send", "a.nc", "--json"},
        {"--sned", "a.nc"},
        {"--register", "a.nc"},
        {"--register", "5"},
        {"--register", "10000", "a.nc"},
        {"--import", "0", "a.nc"},
        {"--import", "12"},
    };
    for (const std::vector<std::string>& aArguments : aBad) {
        ProgramRun run = Run(aArguments);
        EXPECT_EQ(run.nStatus, kExitBadArguments) << aArguments.front();
        EXPECT_NE(run.strErrors.find("rzkset --help"), std::string::npos) << run.strErrors;
    }
}

}  // namespace
