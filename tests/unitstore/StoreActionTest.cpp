#include "unitstore/StoreAction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/TestServers.h"

namespace {

const std::string kFolderFailure = "127.0.0.1のフォルダ移動に失敗しました。";
const std::string kConnectionFailure = "\n127.0.0.1への接続に失敗しました。";

// Which text an operation reports after a command in RzFilesOut, for each way the unit can
// end the action: the store's failures come before the operation's own texts.
TEST(StoreAction, TheStoresFailureTextComesBeforeTheOperationsOwn) {
    struct Case {
        const char* pszName;
        std::vector<std::string> aOptions;  // simulator faults; empty name: no unit at all
        bool bUnitRuns;
        bool bOpens;  // the action stands in the folder
        bool bDone;
        std::string strMessageEnd;
    };
    const Case aCases[] = {
        {"done", {}, true, true, true, "done"},
        {"command refused", {"--refuse", "STOR"}, true, true, false, "refused"},
        {"folder refused", {"--refuse", "CWD"}, true, false, false, kFolderFailure},
        {"connection cut",
         {"--cut-control-after-command", "STOR"},
         true,
         true,
         false,
         kConnectionFailure},
        {"no unit", {}, false, false, false, kConnectionFailure},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        auto pUnit = std::make_unique<CUnitSimulator>(testCase.aOptions);
        CTestFolder pc;
        WriteBytes(pc / "O0001.NC", "%\r\nO0001\r\n%\r\n");
        std::filesystem::create_directories(pUnit->PubFolder() + "RzFilesOut");
        UnitStoreSettings settings;
        settings.nSousa = 1;
        settings.strServer = "127.0.0.1";
        settings.nPort = pUnit->Port();
        settings.nTimeoutSeconds = 10;
        if (!testCase.bUnitRuns) {
            pUnit.reset();
        }
        StoreCommandResult result = RunStoreCommand(settings, "RzFilesOut", [&](CUnitStore& store) {
            return store.PutFile(pc / "O0001.NC", "0001.fno");
        });
        EXPECT_EQ(result.bDone, testCase.bDone);
        std::string strMessage = result.Message("done", "refused");
        EXPECT_TRUE(strMessage.ends_with(testCase.strMessageEnd)) << strMessage;
        if (pUnit) {
            EXPECT_EQ(FolderEntries(pUnit->PubFolder() + "RzFilesOut").contains("0001.fno"),
                      testCase.bDone);
        }

        CStoreAction action(settings, "RzFilesOut");
        EXPECT_EQ(action.IsOpen(), testCase.bOpens);
        std::string strOwn = action.Message("own");
        EXPECT_TRUE(testCase.bOpens ? strOwn == "own" : strOwn.ends_with(testCase.strMessageEnd))
            << strOwn;
    }
}

// On the USB memory a folder is only a path: it opens unless it leaves the memory.
TEST(StoreAction, OnTheUsbMemoryOnlyAFolderOutsideTheMemoryFails) {
    CTestFolder drive;
    UnitStoreSettings settings;
    settings.nSousa = 0;
    settings.strServer = "192.0.2.7";
    settings.strUsbDrive = drive.Path();
    CStoreAction outside(settings, "../elsewhere");
    EXPECT_FALSE(outside.IsOpen());
    EXPECT_EQ(outside.Message("own"), "192.0.2.7のフォルダ移動に失敗しました。");

    CStoreAction inside(settings, "RzFilesOut");
    EXPECT_TRUE(inside.IsOpen());
    EXPECT_EQ(inside.Message("own"), "own");
    EXPECT_EQ(inside.StoreFailureText(), "");
}

}  // namespace
