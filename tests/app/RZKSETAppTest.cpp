#include "app/RZKSETApp.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

#include "platform/ProgramFolder.h"
#include "tests/fakes/AppFixture.h"

namespace {

const char kResetMessage[] =
    "設定ファイルの読み込みに失敗しました。\n設定は初期値にリセットされます。";

class RZKSETAppTest : public AppFixture {
protected:
    void WriteFile(const std::filesystem::path& path, const std::string& strContent) const {
        AppFixture::WriteFile(m_exeDir / path, strContent);
    }
    std::string ReadFile(const std::filesystem::path& path) const {
        return AppFixture::ReadFile(m_exeDir / path);
    }
};

TEST_F(RZKSETAppTest, FirstStartTakesTheDefaultsAndReportsTheMissingProfileOnce) {
    App().SetData.BPS = 5;
    App().ReadProfile();
    EXPECT_EQ(App().Sousa, 0);
    EXPECT_EQ(App().Pasv, 1);
    EXPECT_EQ(App().NC_Dir, "");
    EXPECT_EQ(App().UsbDrive, "/");
    EXPECT_EQ(App().UsbDriveName, "/");
    EXPECT_EQ(App().SetFileName, "１号機");
    EXPECT_EQ(App().SetFilePath, App().ExeDir + "Data/１号機.txt");
    EXPECT_EQ(App().FtpPort, 21);
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{kResetMessage});
    EXPECT_EQ(Ui().Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
    EXPECT_EQ(App().SetData.BPS, 2);
    EXPECT_FALSE(std::filesystem::exists(m_exeDir / "RZKSET.ini"));
}

// Installed, the program finds the package's default profile on its first start and greets
// nobody with a warning; a profile lost or damaged once the folder is in use is still reported.
TEST_F(RZKSETAppTest, TheShippedProfileMakesTheFirstStartQuietAndALaterLossIsStillReported) {
    const std::string strShipped = RZKSET_SOURCE_DIR "/package/Data/";
    EXPECT_TRUE(CopyShippedProfiles(App().ExeDir, strShipped));
    EXPECT_TRUE(App().ReadProfile());
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_EQ(App().StoreSettings().strServer, "192.168.0.102");
    EXPECT_EQ(ReadFile("Data/１号機.txt"), AppFixture::ReadFile(strShipped + "１号機.txt"));
    ASSERT_TRUE(App().WriteProfile());

    for (const char* pszDamage : {"", "#RZKSet Section Start\r\nIP4=9\r\n"}) {
        Ui().ClearRecord();
        std::filesystem::remove(m_exeDir / "Data/１号機.txt");
        if (*pszDamage != '\0') {
            WriteFile("Data/１号機.txt", pszDamage);
        }
        EXPECT_FALSE(CopyShippedProfiles(App().ExeDir, strShipped));
        EXPECT_FALSE(App().ReadProfile());
        EXPECT_EQ(Ui().Texts(), std::vector<std::string>{kResetMessage});
    }
}

TEST_F(RZKSETAppTest, ReadsTheProfileInCodePage932AndTheMachineProfileItNames) {
    // "２号機" and "/media/ＵＳＢ" in code page 932.
    WriteFile(
        "RZKSET.ini",
        "[system]\r\nsousa=1\r\nPASV=7\r\nNC_Dir=/home/op/nc/\r\n"
        "UsbDrive=/media/\x82\x74\x82\x72\x82\x61/\r\nSetFileName=\x82\x51\x8D\x86\x8B\x40\r\n"
        "Port=2121\r\n");
    WriteFile("Data/２号機.txt", "#RZKSet Section Start\r\nIP4=7\r\n#RZKSet Section End\r\n");
    App().ReadProfile();
    EXPECT_EQ(App().Sousa, 1);
    EXPECT_EQ(App().Pasv, 1);
    EXPECT_EQ(App().NC_Dir, "/home/op/nc/");
    EXPECT_EQ(App().UsbDrive, "/media/ＵＳＢ/");
    EXPECT_EQ(App().SetFileName, "２号機");
    EXPECT_EQ(App().SetData.IP4, 7);
    EXPECT_EQ(App().FtpPort, 2121);
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_EQ(App().StoreSettings().strServer, "192.168.0.7");
    EXPECT_EQ(App().StoreSettings().nPort, 2121);
}

TEST_F(RZKSETAppTest, WritesExactlyTheSixKeysInOrderIntoANewFile) {
    App().Sousa = 1;
    App().Pasv = 0;
    App().NC_Dir = "/home/op/nc/";
    App().UsbDrive = "/media/op/RZK/";
    App().UsbDriveName = "RZK (/media/op/RZK)";
    App().SetFileName = "１号機";
    ASSERT_TRUE(App().WriteProfile());
    EXPECT_EQ(ReadFile("RZKSET.ini"),
              "[System]\r\nSousa=1\r\nPasv=0\r\nNC_Dir=/home/op/nc/\r\nUsbDrive=/media/op/RZK/\r\n"
              "UsbDriveName=RZK (/media/op/RZK)\r\nSetFileName=\x82\x50\x8D\x86\x8B\x40\r\n");
}

TEST_F(RZKSETAppTest, ReplacesValuesInPlaceInAHandEditedFile) {
    WriteFile("RZKSET.ini",
              "; written by hand\r\n[Other]\r\nSousa=5\r\n[SYSTEM]\r\nSOUSA = 0\r\nPort=2121\r\n"
              "Pasv=1\r\n");
    App().Sousa = 1;
    App().Pasv = 1;
    App().NC_Dir = "";
    App().UsbDrive = "/";
    App().UsbDriveName = "/";
    App().SetFileName = "A";
    ASSERT_TRUE(App().WriteProfile());
    EXPECT_EQ(ReadFile("RZKSET.ini"),
              "; written by hand\r\n[Other]\r\nSousa=5\r\n[SYSTEM]\r\nSOUSA=1\r\nPort=2121\r\n"
              "Pasv=1\r\nNC_Dir=\r\nUsbDrive=/\r\nUsbDriveName=/\r\nSetFileName=A\r\n");
}

// A mount point under /media/<user> with an accented letter, or an emoji folder: the exit
// succeeds, the values come back unchanged, and the others stay code page 932.
TEST_F(RZKSETAppTest, ValuesOutsideTheCodePageAreWrittenAndReadBackUnchanged) {
    const std::string strDrive = "/media/jos\xC3\xA9/RZK/";
    const std::string strFolder = "/home/\xF0\x9F\x98\x80/";
    App().UsbDrive = strDrive;
    App().UsbDriveName = "RZK (/media/jos\xC3\xA9/RZK)";
    App().NC_Dir = strFolder;
    App().SetFileName = "２号機";
    EXPECT_EQ(App().ExitInstance(), 0);
    EXPECT_TRUE(Ui().Boxes().empty());
    std::string strIni = ReadFile("RZKSET.ini");
    EXPECT_NE(strIni.find("SetFileName=\x82\x51\x8D\x86\x8B\x40\r\n"), std::string::npos);
    EXPECT_NE(strIni.find("UsbDrive=\xEF\xBB\xBF" + strDrive + "\r\n"), std::string::npos);

    App().UsbDrive.clear();
    App().UsbDriveName.clear();
    App().NC_Dir.clear();
    CSetData().SaveProfile(App().ProfileFilePath("２号機"));
    App().ReadProfile();
    EXPECT_EQ(App().UsbDrive, strDrive);
    EXPECT_EQ(App().UsbDriveName, "RZK (/media/jos\xC3\xA9/RZK)");
    EXPECT_EQ(App().NC_Dir, strFolder);
    EXPECT_EQ(App().SetFileName, "２号機");
}

TEST_F(RZKSETAppTest, ExitReportsAProfileThatCannotBeWritten) {
    App().ExeDir = (m_exeDir / "missing").string() + "/";
    EXPECT_NE(App().ExitInstance(), 0);
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_EQ(Ui().Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
}

// A profile that cannot be read (here a folder of its name) reads as missing at start, and
// at exit ends in the message of a profile that cannot be written.
TEST_F(RZKSETAppTest, AnUnreadableProfileTakesTheDefaultsAndIsReportedAtExit) {
    std::filesystem::create_directory(m_exeDir / "RZKSET.ini");
    WriteFile("Data/１号機.txt", "#RZKSet Section Start\r\n#RZKSet Section End\r\n");
    App().ReadProfile();
    EXPECT_EQ(App().Sousa, 0);
    EXPECT_EQ(App().SetFileName, "１号機");
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_NE(App().ExitInstance(), 0);
    EXPECT_EQ(Ui().Texts(),
              std::vector<std::string>{App().ExeDir + "RZKSET.iniの書き込みに失敗しました。"});
}

// A write past the process's file-size limit fails like one on a full disk and is reported; the
// kernel's default for SIGXFSZ would end the program before it could say anything.
TEST_F(RZKSETAppTest, AWritePastTheFileSizeLimitIsReportedAndDoesNotEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_DFL);
            setenv("XDG_DATA_HOME", m_exeDir.c_str(), 1);
            App().InitInstance();
            App().ExeDir = m_exeDir.string() + "/";
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 0;
            setrlimit(RLIMIT_FSIZE, &limit);
            bool bReported = App().ExitInstance() == 1 && Ui().Texts().size() == 2;
            std::_Exit(bReported ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

}  // namespace
