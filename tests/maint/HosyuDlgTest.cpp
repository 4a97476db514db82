#include "maint/HosyuDlg.h"

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>
#include <string>

#include "tests/fakes/AppFixture.h"
#include "tests/fakes/TestServers.h"

namespace {

using BoxKind = CFakeUiServices::BoxKind;

class HosyuDlgTest : public AppFixture {
protected:
    // The seeded unit over the network, or its store folder as the USB memory.
    void UseUnit(bool bNetwork) {
        m_pUnit = std::make_unique<CUnitSimulator>(std::vector<std::string>{"--seed"});
        App().Sousa = bNetwork ? 1 : 0;
        App().FtpPort = m_pUnit->Port();
        App().FtpTimeoutSeconds = 10;
        App().SetData.IP1 = 127;
        App().SetData.IP2 = 0;
        App().SetData.IP3 = 0;
        App().SetData.IP4 = 1;
        App().UsbDrive = m_pUnit->PubFolder();
    }

    static std::string Shown(const CHosyuDlg& dialog) {
        return dialog.ReportEdit().toPlainText().toStdString();
    }

    std::unique_ptr<CUnitSimulator> m_pUnit;
};

TEST_F(HosyuDlgTest, ShowsTheReportAndDeletesTheFilesOnlyAfterAYes) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseUnit(bNetwork);
        Ui().ClearRecord();
        CHosyuDlg dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("保守"));
        EXPECT_EQ(dialog.Button(1041).text(), QStringLiteral("保守情報削除"));
        EXPECT_EQ(dialog.Button(2).text(), QStringLiteral("閉じる"));
        ASSERT_TRUE(dialog.OnInitDialog());
        EXPECT_TRUE(dialog.m_strReport.starts_with("---Ver.---\r\nRZK-70 1.02A\r\nMAC "))
            << dialog.m_strReport;
        EXPECT_TRUE(Shown(dialog).starts_with("---Ver.---\nRZK-70 1.02A\nMAC ")) << Shown(dialog);
        EXPECT_TRUE(dialog.ReportEdit().isReadOnly());
        EXPECT_EQ(Ui().BusyShownCount(), 1);

        Ui().AnswerQuestion(false);
        dialog.OnDeleteMaintenance();
        EXPECT_EQ(FolderEntries(m_pUnit->PubFolder() + "images").size(), 4U);
        EXPECT_TRUE(dialog.m_strReport.starts_with("---Ver.---\r\nRZK-70 "));

        Ui().AnswerQuestion(true);
        dialog.OnDeleteMaintenance();
        EXPECT_TRUE(FolderEntries(m_pUnit->PubFolder() + "images").empty());
        EXPECT_EQ(Shown(dialog), "---Ver.---\n\n---ＲＳ通信設定---\n\n---ﾈｯﾄﾜｰｸ設定---\n");

        ASSERT_EQ(Ui().Boxes().size(), 2U);
        for (const CFakeUiServices::Box& box : Ui().Boxes()) {
            EXPECT_EQ(box.kind, BoxKind::Question);
            EXPECT_EQ(box.strText, "保守情報を削除しますか？");
            EXPECT_TRUE(box.bDefaultNo);
            EXPECT_FALSE(box.bInformationIcon);
        }
        EXPECT_FALSE(std::filesystem::exists(m_exeDir / "INFO.INI"));
    }
}

// The dialog opens on a unit that cannot be reached and tells it in the report, not in a box.
TEST_F(HosyuDlgTest, AUnitThatCannotBeReachedIsToldInTheReport) {
    UseUnit(true);
    m_pUnit.reset();
    CHosyuDlg dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_TRUE(dialog.m_strReport.ends_with("\n127.0.0.1への接続に失敗しました。"))
        << dialog.m_strReport;
    EXPECT_EQ(dialog.m_strReport.find("---"), std::string::npos);
    EXPECT_TRUE(Ui().Boxes().empty());
}

}  // namespace
