#include "maint/StoreCheckup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numlist/FileNo.h"
#include "settings/SetData.h"
#include "tests/fakes/TestServers.h"
#include "unitstore/UnitStore.h"

namespace {

namespace fs = std::filesystem;

// A store as the program leaves it: the marker, two numbered programs with their list, one
// named program in its catalogue, and the unit configuration files of the profile.
class StoreCheckupTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        m_pUnit = std::make_unique<CUnitSimulator>(std::vector<std::string>{});
        m_pub = m_pUnit->PubFolder();
        m_setData.ADD_DOT = true;
        m_setData.DOT = "NC";
        WriteBytes(m_pub + "PVN_RZK70", "");
        SaveList(m_pub + "FileNList.fnl", {{1, "ABC", ""}});
        WriteBytes(m_pub + "ABC.NC", "%\r\nO1\r\nM30\r\n%");
        fs::create_directory(m_pub + "RzFilesOut");
        SaveList(m_pub + "RzFilesOut/FileList.fno", {{1, "P1", ""}, {2, "P2", ""}});
        WriteBytes(m_pub + "RzFilesOut/0001.fno", "%\r\nO1\r\nM30\r\n%");
        WriteBytes(m_pub + "RzFilesOut/0002.fno", "%\r\nO2\r\nM30\r\n%");
        ASSERT_TRUE(m_setData.WriteUnitConfig(m_pub));
    }

    static void SaveList(const std::string& strPath, std::vector<FILENODATA> aEntries) {
        CFileNo list;
        list.m_aData = std::move(aEntries);
        ASSERT_TRUE(list.Save(strPath));
    }

    CStoreCheckup Run() {
        UnitStoreSettings settings;
        settings.nSousa = GetParam() ? 1 : 0;
        settings.strServer = "127.0.0.1";
        settings.nPort = m_pUnit->Port();
        settings.nTimeoutSeconds = 10;
        settings.strUsbDrive = m_pub;
        CUnitStore store(settings);
        EXPECT_TRUE(store.Connect());
        CStoreCheckup checkup(m_setData, m_staging.Path());
        EXPECT_TRUE(checkup.Run(store));
        EXPECT_TRUE(FolderEntries(m_staging.Path()).empty()) << "no staging copy stays";
        return checkup;
    }

    std::unique_ptr<CUnitSimulator> m_pUnit;
    std::string m_pub;
    CSetData m_setData;
    CTestFolder m_staging;
};

// Also the lists the program leaves empty after deleting everything, and the catalogue and
// the program folder that it makes only when first needed.
TEST_P(StoreCheckupTest, AStoreAsTheProgramLeavesItHasNoProblems) {
    const std::string strConfigLines =
        "○ ユニット設定 PVNRSIO.INI: このプロファイルのとおりです\n"
        "○ ユニット設定 interfaces: このプロファイルのとおりです\n"
        "問題はありません。";
    const struct {
        const char* pszWhat;
        std::function<void(const std::string& strPub)> make;
        std::string strSummary;
    } aCases[] = {
        {"programs in both lists", [](const std::string&) {},
         "○ マーカーファイル PVN_RZK70: あり\n"
         "○ ファイル名リスト FileNList.fnl: 登録1件、ファイルのない登録0件\n"
         "○ 番号リスト FileList.fno: 登録2件、リストにないプログラム0件、"
         "プログラムのない登録0件\n" +
             strConfigLines},
        {"both lists emptied",
         [](const std::string& strPub) {
             fs::remove(strPub + "ABC.NC");
             fs::remove(strPub + "RzFilesOut/0001.fno");
             fs::remove(strPub + "RzFilesOut/0002.fno");
             SaveList(strPub + "FileNList.fnl", {});
             CFileNo titled;
             titled.m_strTitle = "TITLE";
             ASSERT_TRUE(titled.Save(strPub + "RzFilesOut/FileList.fno"));
         },
         "○ マーカーファイル PVN_RZK70: あり\n"
         "○ ファイル名リスト FileNList.fnl: 登録0件、ファイルのない登録0件\n"
         "○ 番号リスト FileList.fno: 登録0件、リストにないプログラム0件、"
         "プログラムのない登録0件\n" +
             strConfigLines},
        {"a memory just prepared and set up",
         [](const std::string& strPub) {
             fs::remove(strPub + "FileNList.fnl");
             fs::remove_all(strPub + "RzFilesOut");
         },
         "○ マーカーファイル PVN_RZK70: あり\n"
         "○ ファイル名リスト FileNList.fnl: まだありません\n"
         "○ 番号リストのフォルダ RzFilesOut: まだありません\n" +
             strConfigLines},
    };
    for (const auto& testCase : aCases) {
        SCOPED_TRACE(testCase.pszWhat);
        SetUp();
        testCase.make(m_pub);
        const CStoreCheckup checkup = Run();
        EXPECT_EQ(checkup.Summary(), testCase.strSummary);
        EXPECT_EQ(checkup.Details(), "");
        EXPECT_FALSE(checkup.HasProblems());
    }
}

struct Defect {
    const char* pszWhat;
    std::function<void(const std::string& strPub, CSetData& setData)> make;
    std::string strProblemLine;
    std::string strDetails;
};

TEST_P(StoreCheckupTest, EachDefectIsFoundAlone) {
    const std::vector<Defect> aDefects = {
        {"no marker",
         [](const std::string& strPub, CSetData&) { fs::remove(strPub + "PVN_RZK70"); },
         "× マーカーファイル PVN_RZK70: ありません", ""},
        {"a catalogued file gone",
         [](const std::string& strPub, CSetData&) { fs::remove(strPub + "ABC.NC"); },
         "× ファイル名リスト FileNList.fnl: 登録1件、ファイルのない登録1件", "ABC.NC\n"},
        {"a numbered program outside the list",
         [](const std::string& strPub, CSetData&) {
             WriteBytes(strPub + "RzFilesOut/0007.fno", "%\r\nO7\r\nM30\r\n%");
         },
         "× 番号リスト FileList.fno: 登録2件、リストにないプログラム1件、プログラムのない登録0件",
         "0007.fno: リストにありません\n"},
        {"a list entry without its program",
         [](const std::string& strPub, CSetData&) { fs::remove(strPub + "RzFilesOut/0002.fno"); },
         "× 番号リスト FileList.fno: 登録2件、リストにないプログラム0件、プログラムのない登録1件",
         "0002 P2: プログラムがありません\n"},
        {"a damaged list",
         [](const std::string& strPub, CSetData&) {
             WriteBytes(strPub + "RzFilesOut/FileList.fno", "garbage");
         },
         "× 番号リスト FileList.fno: 読めません（-1）", ""},
        {"configuration of another profile",
         [](const std::string&, CSetData& setData) { setData.BPS = 4; },
         "× ユニット設定 PVNRSIO.INI: このプロファイルの設定と違います", ""},
        {"no interfaces file",
         [](const std::string& strPub, CSetData&) { fs::remove(strPub + "rzksys/interfaces"); },
         "× ユニット設定 interfaces: ありません", ""},
        {"no configuration folder",
         [](const std::string& strPub, CSetData&) { fs::remove_all(strPub + "rzksys"); },
         "× ユニット設定 rzksys: フォルダがありません", ""},
        {"a list without entries whose count is not the program's",
         [](const std::string& strPub, CSetData&) {
             WriteBytes(strPub + "RzFilesOut/FileList.fno",
                        "#ListHead Section Start\r\nPRNTITLE=\r\n#ListHead Section End\r\n");
         },
         "× 番号リスト FileList.fno: 読めません（-6）", ""},
    };
    const CSetData cleanProfile = m_setData;
    for (const Defect& defect : aDefects) {
        SCOPED_TRACE(defect.pszWhat);
        m_setData = cleanProfile;
        SetUp();
        defect.make(m_pub, m_setData);
        const CStoreCheckup checkup = Run();
        EXPECT_NE(checkup.Summary().find(defect.strProblemLine + "\n"), std::string::npos)
            << checkup.Summary();
        EXPECT_TRUE(checkup.Summary().ends_with("\n1件の項目を確認してください。"))
            << checkup.Summary();
        EXPECT_EQ(checkup.Details(), defect.strDetails);
    }
}

INSTANTIATE_TEST_SUITE_P(Store, StoreCheckupTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "Network" : "Usb";
                         });

}  // namespace
