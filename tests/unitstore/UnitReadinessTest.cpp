#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fakes/FakeUiServices.h"
#include "tests/fakes/TestServers.h"
#include "unitstore/UnitReadiness.h"

namespace {

const std::string kNoMemoryOnUnit =
    "RZK-70で利用できるＵＳＢメモリが接続されていません。\n"
    "RZK-70にＵＳＢメモリを接続しているか確認してください。\n"
    "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。";
const std::string kNoMemoryOnDrive =
    "\nRZK-70で利用できるＵＳＢメモリが接続されていません。\n"
    "設定されているドライブに接続しているか確認してください。\n"
    "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。";

bool AnyDrive(const std::string&) {
    return true;
}

class UnitReadinessTest : public ::testing::Test {
protected:
    UnitStoreSettings Network(int nPort) const {
        UnitStoreSettings settings;
        settings.nSousa = 1;
        settings.strServer = "127.0.0.1";
        settings.nPort = nPort;
        settings.nTimeoutSeconds = 10;
        return settings;
    }

    UnitStoreSettings Usb() const {
        UnitStoreSettings settings;
        settings.nSousa = 0;
        settings.strUsbDrive = m_drive.Path();
        return settings;
    }

    // Runs the check over the network with a stale marker copy lying in the program folder:
    // whatever the outcome, the copy must be gone afterwards.
    bool CheckNetwork(const UnitStoreSettings& settings) {
        WriteBytes(m_exeDir / "PVN_RZK70", "stale");
        bool bReady = CheckUnitReady(settings, m_exeDir.Path(), "", m_ui, AnyDrive);
        EXPECT_FALSE(std::filesystem::exists(m_exeDir / "PVN_RZK70"));
        EXPECT_EQ(m_ui.BusyShownCount(), 1);
        EXPECT_FALSE(m_ui.IsBusyOpen());
        return bReady;
    }

    CTestFolder m_exeDir;
    CTestFolder m_drive;
    CFakeUiServices m_ui;
};

TEST_F(UnitReadinessTest, NetworkStoreWithTheMarkerIsReady) {
    CUnitSimulator simulator({"--seed"});
    EXPECT_TRUE(CheckNetwork(Network(simulator.Port())));
    EXPECT_TRUE(m_ui.Boxes().empty());
}

TEST_F(UnitReadinessTest, NetworkStoreWithoutTheMarkerAsksForTheMemory) {
    for (const std::vector<std::string>& aOptions :
         {std::vector<std::string>{}, std::vector<std::string>{"--seed", "--refuse", "CWD"}}) {
        m_ui.ClearRecord();
        CUnitSimulator simulator(aOptions);
        EXPECT_FALSE(CheckNetwork(Network(simulator.Port())));
        ASSERT_EQ(m_ui.Boxes().size(), 1u);
        EXPECT_EQ(m_ui.Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
        EXPECT_EQ(m_ui.Boxes()[0].strText, kNoMemoryOnUnit);
    }
}

TEST_F(UnitReadinessTest, UnreachableUnitShowsTheConnectionFailure) {
    int nPort = 0;
    {
        CUnitSimulator stopped;
        nPort = stopped.Port();
    }
    EXPECT_FALSE(CheckNetwork(Network(nPort)));
    ASSERT_EQ(m_ui.Texts().size(), 1u);
    std::string strText = m_ui.Texts()[0];
    EXPECT_TRUE(strText.ends_with("\n127.0.0.1への接続に失敗しました。")) << strText;
    EXPECT_FALSE(strText.starts_with("\n")) << "the error text comes first";
}

TEST_F(UnitReadinessTest, RejectedUsbDriveCannotBeUsed) {
    std::string strAsked;
    WriteBytes(m_drive / "PVN_RZK70", "");
    bool bReady = CheckUnitReady(Usb(), m_exeDir.Path(), "RZK (" + m_drive.Path() + ")", m_ui,
                                 [&](const std::string& strRoot) {
                                     strAsked = strRoot;
                                     return false;
                                 });
    EXPECT_FALSE(bReady);
    EXPECT_EQ(strAsked, m_drive.Path());
    EXPECT_EQ(m_ui.Texts(), (std::vector<std::string>{"ドライブ：" + m_drive.Path() +
                                                      " はRZK-70では使用できません"}));
}

TEST_F(UnitReadinessTest, UsbDriveNeedsTheMarkerFile) {
    const std::string strName = "RZK (" + m_drive.Path() + ")";
    EXPECT_FALSE(CheckUnitReady(Usb(), m_exeDir.Path(), strName, m_ui, AnyDrive));
    std::filesystem::create_directory(m_drive / "PVN_RZK70");
    EXPECT_FALSE(CheckUnitReady(Usb(), m_exeDir.Path(), strName, m_ui, AnyDrive));
    EXPECT_EQ(m_ui.Texts(),
              (std::vector<std::string>{strName + kNoMemoryOnDrive, strName + kNoMemoryOnDrive}));

    m_ui.ClearRecord();
    std::filesystem::remove(m_drive / "PVN_RZK70");
    WriteBytes(m_drive / "PVN_RZK70", "");
    EXPECT_TRUE(CheckUnitReady(Usb(), m_exeDir.Path(), strName, m_ui, AnyDrive));
    EXPECT_TRUE(m_ui.Boxes().empty());
}

}  // namespace
