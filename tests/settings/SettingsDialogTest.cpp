#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/RZKSETDlg.h"
#include "platform/IpAddressCtrl.h"
#include "platform/ListView.h"
#include "settings/RzkNameDlg.h"
#include "settings/SelRzkDlg.h"
#include "settings/SetDlg.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/DriveFixture.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const char kRangeMessage[] =
    "リモート指示用プログラム番号の範囲が異常です。\n"
    "小さい番号から大きい番号になるように設定して下さい。";

// The keys the operator presses, each to the widget that has the focus: "\b" is Backspace,
// "\t" Tab, "\v" the paste keys, "," the dot of the numeric keypad.
void Type(QWidget& window, const std::string& strKeys) {
    for (char key : strKeys) {
        QKeyEvent keyEvent =
            key == '\b'   ? QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier)
            : key == '\t' ? QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier)
            : key == '\v' ? QKeyEvent(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier)
            : key == ','
                ? QKeyEvent(QEvent::KeyPress, Qt::Key_Period, Qt::KeypadModifier,
                            QStringLiteral("."))
                : QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar::fromLatin1(key)));
        QApplication::sendEvent(window.focusWidget(), &keyEvent);
    }
}

CIpAddressCtrl& AddressCtrl(CSetDlg& settings, int nId) {
    return *static_cast<CIpAddressCtrl*>(settings.Item(nId));
}

// The operator clicks into a field of an address: the window active, the field's text
// selected.
QLineEdit& ClickInto(CSetDlg& settings, int nId, int nField) {
    QApplication::setActiveWindow(&settings);
    QLineEdit& field = AddressCtrl(settings, nId).Field(nField);
    field.setFocus(Qt::MouseFocusReason);
    field.selectAll();
    return field;
}

class SetDlgTest : public AppFixture {
protected:
    // The dialog open on the profile, as the settings button opens it.
    std::unique_ptr<CSetDlg> Open(const CSetData& profile = CSetData()) {
        auto pDialog = std::make_unique<CSetDlg>();
        pDialog->CopyFromProfile(profile);
        pDialog->OnInitDialog();
        pDialog->show();
        return pDialog;
    }
};

TEST_F(SetDlgTest, ShowsTheProfileAndTakesItBackOnSave) {
    CSetData profile;
    profile.BPS = 5;
    profile.STOPBIT = 0;
    profile.DOT = "\x83\x65";  // テ
    profile.IP4 = 7;
    profile.INDEX = 3;
    auto pDialog = Open(profile);
    EXPECT_EQ(static_cast<QComboBox*>(pDialog->Item(1009))->currentText(), QStringLiteral("38400"));
    EXPECT_TRUE(static_cast<QAbstractButton*>(pDialog->Item(1010))->isChecked());
    EXPECT_EQ(pDialog->Edit(1024).text(), QStringLiteral("テ"));
    EXPECT_FALSE(pDialog->Item(1025)->isVisible());
    auto* pAddress = static_cast<CIpAddressCtrl*>(pDialog->Item(1017));
    EXPECT_EQ(pAddress->Field(3).text(), QStringLiteral("7"));
    pAddress->Field(0).setText(QStringLiteral("10"));
    static_cast<QComboBox*>(pDialog->Item(1009))->setCurrentIndex(0);
    pDialog->Edit(1027).setText(QStringLiteral("OUT"));
    pDialog->OnOK();
    EXPECT_EQ(pDialog->result(), QDialog::Accepted);
    CSetData taken;
    taken.unitInDot = true;
    pDialog->CopyToProfile(taken);
    EXPECT_EQ(taken.IpAddress(), "10.168.0.7");
    EXPECT_EQ(taken.BPS, 0);
    EXPECT_EQ(taken.OUT_FILE_NAME, "OUT");
    EXPECT_EQ(taken.INDEX, 3);
    EXPECT_TRUE(taken.unitInDot);
}

TEST_F(SetDlgTest, SaveRefusesWhatTheFieldsCannotHold) {
    struct Case {
        const char* pszFrom;
        const char* pszTo;
        const char* pszDot;
        std::vector<std::string> aMessages;  // empty: accepted
        int nRemoteNo;
    };
    const Case aCases[] = {
        {"7000", "7000", "NC", {}, 7000},
        {"7010", "7009", "NC", {kRangeMessage}, 7000},
        {"12ab", "7009", "NC", {}, 12},
        {" -5", "7009", "NC", {}, -5},
        {"ab", "7009", "NC", {"Enter an integer."}, 7000},
        {"7000", "", "NC", {"Enter an integer."}, 7000},
        {"7000", "7009", "ABCD", {"Enter no more than 3 characters."}, 7000},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(std::string(testCase.pszFrom) + "/" + testCase.pszTo + "/" + testCase.pszDot);
        Ui().ClearRecord();
        auto pDialog = Open();
        pDialog->Edit(1014).setText(QString::fromUtf8(testCase.pszFrom));
        pDialog->Edit(1019).setText(QString::fromUtf8(testCase.pszTo));
        pDialog->Edit(1024).setText(QString::fromUtf8(testCase.pszDot));
        pDialog->OnOK();
        EXPECT_EQ(Ui().Texts(), testCase.aMessages);
        EXPECT_EQ(pDialog->isVisible(), !testCase.aMessages.empty());
        EXPECT_EQ(pDialog->m_data.REMOTE_NO, testCase.nRemoteNo);
    }
}

TEST_F(SetDlgTest, TheTitleShowsTheExtensionSettingAndTheUnitsFile) {
    const struct {
        bool bAddDot;
        bool bUnitInDot;
        const char* pszTitle;
    } aCases[] = {{false, false, "設定※"},
                  {false, true, "設定"},
                  {true, false, "[設定※]"},
                  {true, true, "[設定]"}};
    for (const auto& testCase : aCases) {
        CSetData profile;
        profile.ADD_DOT = testCase.bAddDot;
        profile.unitInDot = testCase.bUnitInDot;
        EXPECT_EQ(Open(profile)->windowTitle().toStdString(), testCase.pszTitle);
    }
}

TEST_F(SetDlgTest, InputChoicesFollowTheirBoxesAndDefaultsComeBackWithIndexZero) {
    CSetData profile;
    profile.AUTO_IN_CODE = false;
    profile.IN_CODE = 1;
    profile.SAME = true;
    profile.INDEX = 9;
    profile.ADD_DOT = true;
    profile.unitInDot = true;
    auto pDialog = Open(profile);
    EXPECT_TRUE(pDialog->Item(1016)->isEnabled());
    EXPECT_FALSE(pDialog->Edit(1028).isEnabled());
    static_cast<QCheckBox*>(pDialog->Item(1042))->click();
    static_cast<QCheckBox*>(pDialog->Item(1026))->click();
    EXPECT_FALSE(pDialog->Item(1016)->isEnabled());
    EXPECT_TRUE(static_cast<QAbstractButton*>(pDialog->Item(1016))->isChecked());
    EXPECT_TRUE(pDialog->Edit(1028).isEnabled());

    pDialog->Button(1043).click();
    EXPECT_EQ(pDialog->windowTitle().toStdString(), "設定※");
    EXPECT_TRUE(pDialog->Edit(1028).isEnabled());
    pDialog->Button(1).click();
    EXPECT_EQ(pDialog->result(), QDialog::Accepted);
    EXPECT_EQ(pDialog->m_data.INDEX, 0);
    EXPECT_FALSE(pDialog->m_data.ADD_DOT);
    EXPECT_EQ(pDialog->m_data.IpAddress(), "192.168.0.102");
}

// Through the main window: the settings button on a prepared FAT memory and the profile
// selection of "切替".
class SettingsOperationTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        std::string strMountPoint = m_drives.AddUsbMemory("sdb", 16, "RZK");
        m_strMemory = strMountPoint + "/";
        WriteBytes(m_strMemory + "PVN_RZK70", "");
        App().Drives = m_drives.Table();
        App().Sousa = 0;
        App().UsbDrive = m_strMemory;
        App().UsbDriveName = "RZK (" + strMountPoint + ")";
        App().DeviceEventsEnabled = 1;
        ASSERT_TRUE(App().SetData.SaveProfile(App().SetFilePath));
        m_pWindow = std::make_unique<CRZKSETDlg>();
        m_pWindow->OnInitDialog();
    }
    void Press(int nId) { static_cast<QAbstractButton*>(m_pWindow->Item(nId))->click(); }
    void ExpectName(const std::string& strName) {
        ExpectDialog<CRzkNameDlg>(Ui(), [strName](CRzkNameDlg& nameDlg) {
            EXPECT_EQ(nameDlg.Edit(1012).text(), QString());
            nameDlg.Edit(1012).setText(QString::fromStdString(strName));
            nameDlg.OnOK();
        });
    }
    // The row the operator clicks in the profile list.
    static void Select(CSelRzkDlg& selection, int nRow) {
        selection.NameList().ClearAllSelection();
        selection.NameList().SelectFocusAndShow(nRow);
    }
    std::string Profile(const std::string& strName) const {
        return ReadBytes((m_exeDir / "Data" / (strName + ".txt")).string());
    }

    CDriveFixture m_drives;
    std::string m_strMemory;
    std::unique_ptr<CRZKSETDlg> m_pWindow;
};

TEST_F(SettingsOperationTest, SaveWritesTheProfileAndBothUnitFiles) {
    for (int nRun = 0; nRun < 2; ++nRun) {
        ExpectDialog<CSetDlg>(Ui(), [nRun](CSetDlg& settings) {
            EXPECT_EQ(settings.windowTitle().toStdString(), nRun == 0 ? "設定※" : "設定");
            settings.Edit(1014).setText(QStringLiteral("100"));
            settings.OnOK();
        });
        Press(1013);
    }
    EXPECT_EQ(Ui().Texts(),
              (Texts{"設定ファイルを作成しました。", "設定ファイルを作成しました。"}));
    EXPECT_NE(Profile("１号機").find("REMOTE_NO=100\r\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(m_strMemory + "rzksys/PVNRSIO.INI"), App().SetData.UnitRsioText());
    EXPECT_NE(App().SetData.UnitRsioText().find("OUTCHGO=100\r\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(m_strMemory + "rzksys/interfaces"), App().SetData.UnitInterfacesText());
    EXPECT_TRUE(App().SetData.unitInDot);
}

TEST_F(SettingsOperationTest, AddressFieldsMoveOnAtADotGoBackAndTakeAPastedAddress) {
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) {
        ClickInto(settings, 1017, 0);
        // Backspace in the emptied last field goes back to the third; "," is the keypad's dot.
        Type(settings, "10.1.2.3\b\b\b9,4");
        QApplication::clipboard()->setText(QStringLiteral(" 255.255.0.0 "));
        ClickInto(settings, 1018, 2);
        Type(settings, "\v");
        settings.Button(1).click();
    });
    Press(1013);
    EXPECT_EQ(Ui().Texts(), Texts{"設定ファイルを作成しました。"});
    EXPECT_NE(ReadBytes(m_strMemory + "rzksys/interfaces")
                  .find("address 10.1.9.4\r\nnetmask 255.255.0.0\r\n"),
              std::string::npos);
    EXPECT_NE(Profile("１号機").find("IP1=10\r\nIP2=1\r\nIP3=9\r\nIP4=4\r\n"), std::string::npos);
}

TEST_F(SettingsOperationTest, AnAddressFieldAbove255IsRefusedWhenLeftAndAtSave) {
    std::string strProfile = Profile("１号機");
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) {
        QLineEdit& field = ClickInto(settings, 1017, 3);
        Type(settings, "300\t");
        EXPECT_EQ(settings.focusWidget(), &field);
        settings.Button(1).click();
        EXPECT_TRUE(settings.isVisible());
        EXPECT_EQ(settings.focusWidget(), &field);
        settings.Button(2).click();
    });
    Press(1013);
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) {
        QLineEdit& field = ClickInto(settings, 1018, 1);
        Type(settings, "256");
        settings.Button(1).click();
        EXPECT_TRUE(settings.isVisible());
        EXPECT_EQ(settings.focusWidget(), &field);
        settings.Button(2).click();
    });
    Press(1013);
    const char kRefused[] = "は使用できない値です。\n0～255の数値を入力して下さい。";
    EXPECT_EQ(Ui().Texts(), (Texts{std::string("300") + kRefused, std::string("300") + kRefused,
                                   std::string("256") + kRefused}));
    EXPECT_FALSE(fs::exists(m_strMemory + "rzksys/interfaces"));
    EXPECT_EQ(Profile("１号機"), strProfile);
}

TEST_F(SettingsOperationTest, APastedLineBreakReachesNeitherProfileNorUnitNorProfileName) {
    std::string strProfile = Profile("１号機");
    QApplication::clipboard()->setText(QStringLiteral("RZK\nOUT"));
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) {
        QApplication::setActiveWindow(&settings);
        settings.Edit(1027).setFocus();
        settings.Edit(1027).selectAll();
        Type(settings, "\v");
        settings.Button(1).click();
        EXPECT_TRUE(settings.isVisible());
        EXPECT_EQ(settings.focusWidget(), &settings.Edit(1027));
        settings.Button(2).click();
    });
    Press(1013);
    ExpectDialog<CSelRzkDlg>(Ui(), [this](CSelRzkDlg& selection) {
        ExpectDialog<CRzkNameDlg>(Ui(), [](CRzkNameDlg& nameDlg) {
            QApplication::clipboard()->setText(QStringLiteral("A\nB"));
            nameDlg.Edit(1012).setFocus();
            Type(nameDlg, "\v");
            nameDlg.Button(1).click();
            EXPECT_TRUE(nameDlg.isVisible());
            nameDlg.Button(2).click();
        });
        selection.Button(1011).click();
        selection.Button(1).click();
    });
    Press(1023);
    const std::string strRefused = "改行などの制御文字は使用できません。";
    EXPECT_EQ(Ui().Texts(), (Texts{strRefused, strRefused}));
    EXPECT_EQ(Profile("１号機"), strProfile);
    EXPECT_FALSE(fs::exists(m_strMemory + "rzksys/PVNRSIO.INI"));
    std::vector<std::string> aProfiles;
    for (const auto& entry : fs::directory_iterator(m_exeDir / "Data")) {
        aProfiles.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(aProfiles, Texts{"１号機.txt"});
    EXPECT_EQ(App().SetFileName, "１号機");
}

TEST_F(SettingsOperationTest, EachFailureHasItsMessageAndCancelChangesNothing) {
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) { settings.reject(); });
    Press(1013);
    EXPECT_TRUE(Ui().Texts().empty());
    EXPECT_FALSE(fs::exists(m_strMemory + "rzksys/PVNRSIO.INI"));

    // The unit's folder taken by a file: the profile is saved, the unit files are not.
    fs::remove_all(m_strMemory + "rzksys");
    WriteBytes(m_strMemory + "rzksys", "");
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) { settings.OnOK(); });
    Press(1013);
    // No Data folder: nothing is written anywhere.
    fs::remove(m_strMemory + "rzksys");
    fs::remove_all(m_exeDir / "Data");
    ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) { settings.OnOK(); });
    Press(1013);
    EXPECT_EQ(Ui().Texts(), (Texts{"RZKに設定ファイルが作成できませんでした。",
                                   "パソコンに設定ファイルが作成できませんでした。"}));
    EXPECT_FALSE(fs::exists(m_strMemory + "rzksys/PVNRSIO.INI"));
}

TEST_F(SettingsOperationTest, SwitchAddsRenamesDeletesAndSelectsProfiles) {
    for (const auto& [strName, nIndex] :
         std::vector<std::pair<std::string, int>>{{"B", 1}, {"A", 4}, {"１号機", 2}}) {
        CSetData profile;
        profile.INDEX = nIndex;
        profile.IP4 = 40;
        ASSERT_TRUE(profile.SaveProfile((m_exeDir / "Data" / (strName + ".txt")).string()));
    }
    ExpectDialog<CSelRzkDlg>(Ui(), [this](CSelRzkDlg& selection) {
        EXPECT_EQ(selection.m_aNames, (Texts{"A", "B", "１号機"}));
        EXPECT_EQ(selection.NameList().GetNextSelected(-1), 2);
        ExpectName("C");
        selection.OnAdd();
        EXPECT_EQ(selection.m_aNames, (Texts{"A", "B", "C", "１号機"}));
        EXPECT_EQ(selection.NameList().GetNextSelected(-1), 2);
        ExpectName("b");
        selection.OnAdd();  // differs from B only in case
        ExpectName("../C");
        selection.OnAdd();
        Select(selection, 2);
        ExpectName("B");
        selection.OnRename();  // C onto B
        ExpectName("D");
        selection.OnRename();
        EXPECT_EQ(selection.m_aNames, (Texts{"A", "B", "D", "１号機"}));
        Select(selection, 3);
        selection.OnDelete();  // the current profile
        Select(selection, 0);
        selection.OnDelete();
        EXPECT_EQ(selection.m_aNames, (Texts{"B", "D", "１号機"}));
        EXPECT_EQ(selection.NameList().GetNextSelected(-1), 0);
        Select(selection, 1);
        selection.OnOK();
    });
    Press(1023);
    EXPECT_EQ(Ui().Texts(), (Texts{"既に作成済みです。", "新しい設定が作成できませんでした。",
                                   "名称変更に失敗しました。", "選択中の設定は削除できません。"}));
    CSetData created;
    ASSERT_EQ(created.LoadProfile((m_exeDir / "Data" / "D.txt").string()), 0);
    EXPECT_EQ(created.INDEX, 5);
    // The refused rename onto B left B as it was.
    EXPECT_NE(Profile("B").find("INDEX=1\r\nIP1=192\r\nIP2=168\r\nIP3=0\r\nIP4=40\r\n"),
              std::string::npos);
    EXPECT_EQ(App().SetFileName, "D");
    EXPECT_EQ(static_cast<QLabel*>(m_pWindow->Item(1024))->text(), QStringLiteral("D"));
    EXPECT_EQ(App().SetData.IP4, 102);
}

TEST_F(SettingsOperationTest, ChoosingADamagedProfileResetsTheSettings) {
    WriteBytes((m_exeDir / "Data" / "X.txt").string(), "#RZKSet Section Start\r\nIP4=9\r\n");
    App().SetData.IP4 = 7;
    ExpectDialog<CSelRzkDlg>(Ui(), [](CSelRzkDlg& selection) {
        ASSERT_EQ(selection.m_aNames, (Texts{"X", "１号機"}));
        Select(selection, 0);
        selection.OnOK();
    });
    Press(1023);
    EXPECT_EQ(Ui().Texts(),
              Texts{"設定ファイルの読み込みに失敗しました。\n設定は初期値にリセットされます。"});
    EXPECT_EQ(App().SetFileName, "X");
    EXPECT_EQ(App().SetData.IP4, 102);
    // The damaged file stays as it was until the settings are saved.
    EXPECT_EQ(Profile("X"), "#RZKSet Section Start\r\nIP4=9\r\n");
}

}  // namespace
