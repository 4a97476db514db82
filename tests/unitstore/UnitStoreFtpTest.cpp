#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/FtpClient.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/TemporaryName.h"
#include "tests/fakes/TestServers.h"
#include "tests/unitstore/StoreListing.h"
#include "unitstore/UnitStore.h"

namespace {

// "テスト.NC" and "表示.fno" in code page 932: the second has 0x5C ("\") as a trail byte.
const std::string kJapaneseName = "\x83\x65\x83\x58\x83\x67.NC";
const std::string kTrailByteName = "\x95\x5C\x8E\xA6.fno";

// Puts a file (or, with a final "/", a folder) straight onto a server's disk, open to its
// anonymous user.
void PutOnDisk(const CTestFtpServer& server, const std::string& strStorePath,
               const std::string& bytes = "") {
    std::filesystem::path path = server.PubFolder() + server.DiskName(strStorePath);
    if (strStorePath.ends_with('/')) {
        std::filesystem::create_directories(path);
        chmod(path.c_str(), 0777);
        return;
    }
    std::filesystem::create_directories(path.parent_path());
    chmod(path.parent_path().c_str(), 0777);
    WriteBytes(path.string(), bytes);
    chmod(path.c_str(), 0666);
}

std::string OnDisk(const CTestFtpServer& server, const std::string& strStorePath) {
    return ReadBytes(server.PubFolder() + server.DiskName(strStorePath));
}

bool ExistsOnDisk(const CTestFtpServer& server, const std::string& strStorePath) {
    return std::filesystem::exists(server.PubFolder() + server.DiskName(strStorePath));
}

UnitStoreSettings NetworkSettings(int nPort, bool bPasv = true, int nTimeoutSeconds = 10) {
    UnitStoreSettings settings;
    settings.nSousa = 1;
    settings.strServer = "127.0.0.1";
    settings.nPort = nPort;
    settings.bPasv = bPasv;
    settings.nTimeoutSeconds = nTimeoutSeconds;
    return settings;
}

struct FtpPeer {
    const char* szName;
    bool bVsftpd;
    bool bPasv;
};

void PrintTo(const FtpPeer& peer, std::ostream* pStream) {
    *pStream << peer.szName;
}

// Every operation against two different real servers, each in passive and active mode.
class UnitStoreFtpTest : public ::testing::TestWithParam<FtpPeer> {
protected:
    void SetUp() override {
        if (GetParam().bVsftpd) {
            auto pVsftpd = std::make_unique<CVsftpd>();
            if (std::string strReason = pVsftpd->Start(); !strReason.empty()) {
                GTEST_SKIP() << "vsftpd cannot serve here: " << strReason;
            }
            m_pServer = std::move(pVsftpd);
        } else {
            m_pServer = std::make_unique<CUnitSimulator>();
        }
        m_pStore =
            std::make_unique<CUnitStore>(NetworkSettings(m_pServer->Port(), GetParam().bPasv));
        ASSERT_TRUE(m_pStore->Connect()) << m_pStore->ConnectionFailureMessage();
    }

    void TearDown() override {
        if (m_pStore) {
            EXPECT_FALSE(m_pStore->HasConnectionFailed()) << m_pStore->ConnectionFailureMessage();
            m_pStore->Close();
        }
    }

    const CTestFtpServer& Server() const { return *m_pServer; }
    CUnitStore& Store() { return *m_pStore; }

    CTestFolder m_local;
    std::unique_ptr<CTestFtpServer> m_pServer;
    std::unique_ptr<CUnitStore> m_pStore;
};

TEST_P(UnitStoreFtpTest, UploadsCreateAndReplaceStoreFiles) {
    PutOnDisk(Server(), "RzFilesOut/");
    WriteBytes(m_local / "long.nc", "%\r\nO0001\r\nG00 X0 Y0\r\nM30\r\n%\r\n");
    WriteBytes(m_local / "short.nc", "%\r\nO0002\r\n%\r\n");

    ASSERT_TRUE(Store().SetFolder("/pub/"));
    EXPECT_TRUE(Store().PutFile(m_local / "long.nc", "RZKOUT.NC"));
    EXPECT_EQ(OnDisk(Server(), "RZKOUT.NC"), ReadBytes(m_local / "long.nc"));
    EXPECT_TRUE(Store().PutFile(m_local / "short.nc", "RZKOUT.NC"));
    EXPECT_EQ(OnDisk(Server(), "RZKOUT.NC"), ReadBytes(m_local / "short.nc"));

    ASSERT_TRUE(Store().SetFolder("RzFilesOut"));
    EXPECT_TRUE(Store().PutFile(m_local / "long.nc", "0010.fno"));
    EXPECT_EQ(OnDisk(Server(), "RzFilesOut/0010.fno"), ReadBytes(m_local / "long.nc"));
    EXPECT_FALSE(Store().PutFile(m_local / "missing.nc", "0011.fno"));
    EXPECT_FALSE(ExistsOnDisk(Server(), "RzFilesOut/0011.fno"));
}

TEST_P(UnitStoreFtpTest, DownloadsCreateAndReplaceLocalFilesWholly) {
    PutOnDisk(Server(), "PVN_RZK70");
    PutOnDisk(Server(), "images/INFO.INI", "[INFO]\r\nNAME=RZK-70\r\n");
    WriteBytes(m_local / "INFO.INI", std::string(5000, 'x'));

    ASSERT_TRUE(Store().SetFolder("/pub/"));
    EXPECT_TRUE(Store().GetFile("PVN_RZK70", m_local / "PVN_RZK70"));
    EXPECT_TRUE(std::filesystem::exists(m_local / "PVN_RZK70"));
    EXPECT_EQ(std::filesystem::file_size(m_local / "PVN_RZK70"), 0u);
    ASSERT_TRUE(Store().SetFolder("/pub/images/"));
    EXPECT_TRUE(Store().GetFile("INFO.INI", m_local / "INFO.INI"));
    EXPECT_EQ(ReadBytes(m_local / "INFO.INI"), "[INFO]\r\nNAME=RZK-70\r\n");
    EXPECT_FALSE(Store().GetFile("RZK70.REQ", m_local / "RZK70.REQ"));
    EXPECT_EQ(FolderEntries(m_local.Path()), (std::set<std::string>{"INFO.INI", "PVN_RZK70"}));
}

TEST_P(UnitStoreFtpTest, TwentyMegabytesSurviveARoundTripByteForByte) {
    const std::string bytes = RandomBytes(20 * 1024 * 1024);
    WriteBytes(m_local / "big.bin", bytes);
    ASSERT_TRUE(Store().SetFolder("/pub/"));
    ASSERT_TRUE(Store().PutFile(m_local / "big.bin", "big.bin"));
    EXPECT_TRUE(OnDisk(Server(), "big.bin") == bytes);
    ASSERT_TRUE(Store().GetFile("big.bin", m_local / "back.bin"));
    EXPECT_TRUE(ReadBytes(m_local / "back.bin") == bytes);
}

// A stop asked half way through an upload and a download: the old file stays on the server
// and on the PC, nothing temporary is left on either, and the store reports the stop, not a
// lost connection. The store connects again for the next action.
TEST_P(UnitStoreFtpTest, AStoppedTransferLeavesTheOldFilesAndNothingTemporary) {
    const std::string bytes = RandomBytes(8 * 1024 * 1024);
    WriteBytes(m_local / "big.bin", bytes);
    PutOnDisk(Server(), "big.bin", "OLD");
    for (bool bUpload : {true, false}) {
        SCOPED_TRACE(bUpload ? "upload" : "download");
        if (!bUpload) {
            PutOnDisk(Server(), "big.bin", bytes);
            WriteBytes(m_local / "big.bin", "OLD");
            ASSERT_TRUE(Store().Connect());
        }
        CStopRequest stop({});
        CProgress press([&stop](const CProgress::State& state) {
            if (state.nBytesDone >= 4 * 1024 * 1024) {
                stop.Request();
            }
        });
        ASSERT_TRUE(Store().SetFolder("/pub/"));
        EXPECT_FALSE(bUpload ? Store().PutFile(m_local / "big.bin", "big.bin")
                             : Store().GetFile("big.bin", m_local / "big.bin"));
        EXPECT_TRUE(Store().WasStopped());
        EXPECT_FALSE(Store().HasConnectionFailed());
        EXPECT_EQ(FolderEntries(Server().PubFolder()), std::set<std::string>{"big.bin"});
        EXPECT_EQ(FolderEntries(m_local.Path()), std::set<std::string>{"big.bin"});
        EXPECT_TRUE(OnDisk(Server(), "big.bin") == (bUpload ? "OLD" : bytes));
        EXPECT_TRUE(ReadBytes(m_local / "big.bin") == (bUpload ? bytes : "OLD"));
    }
    ASSERT_TRUE(Store().Connect());
}

// Two PCs register programs into one folder at once: the second upload runs from start to end
// while the first stands half way (held in its own progress report). Each program ends under
// its own number, whole, and nothing temporary is left.
TEST_P(UnitStoreFtpTest, UploadsIntoOneFolderAtOnceKeepTheirOwnPrograms) {
    PutOnDisk(Server(), "RzFilesOut/");
    const std::string first = RandomBytes(8 * 1024 * 1024);
    const std::string second = PcProgram("0011");
    WriteBytes(m_local / "first.nc", first);
    WriteBytes(m_local / "second.nc", second);
    CUnitStore otherPc(NetworkSettings(Server().Port(), GetParam().bPasv, 5));
    bool bSecondRan = false;
    bool bSecondDone = false;
    CProgress halfWay([&](const CProgress::State& state) {
        if (bSecondRan || state.nBytesDone == 0 || state.nBytesDone >= first.size()) {
            return;
        }
        bSecondRan = true;
        bSecondDone = otherPc.Connect() && otherPc.SetFolder("RzFilesOut") &&
                      otherPc.PutFile(m_local / "second.nc", "0011.fno");
        otherPc.Close();
    });

    ASSERT_TRUE(Store().SetFolder("RzFilesOut"));
    EXPECT_TRUE(Store().PutFile(m_local / "first.nc", "0010.fno"));
    ASSERT_TRUE(bSecondRan);
    EXPECT_TRUE(bSecondDone) << otherPc.ConnectionFailureMessage();
    EXPECT_TRUE(OnDisk(Server(), "RzFilesOut/0010.fno") == first);
    EXPECT_TRUE(OnDisk(Server(), "RzFilesOut/0011.fno") == second);
    EXPECT_EQ(FolderEntries(Server().PubFolder() + "RzFilesOut"),
              (std::set<std::string>{"0010.fno", "0011.fno"}));
}

// A temporary file of an upload, left on the unit by a connection that went away, is never
// listed, whatever the pattern.
TEST_P(UnitStoreFtpTest, TemporaryFilesOfUploadsAreNeverListed) {
    PutOnDisk(Server(), "~RZKSET.~~~~", "an upload of an earlier version");
    PutOnDisk(Server(), NewTemporaryName(), "half a program");
    PutOnDisk(Server(), "RZKOUT", "%\r\n");
    ASSERT_TRUE(Store().SetFolder("/pub/"));
    EXPECT_EQ(Described(Store().FindFiles("*")), std::vector<std::string>{"RZKOUT"});
    EXPECT_EQ(Described(Store().FindFiles("*.~~~~")), std::vector<std::string>{});
}

// Temporary files of uploads killed part-way, by other PCs or processes, go with the next
// listing of their folder once it shows them older than any upload takes; one of an upload
// still under way stays, and so does anything else, however old.
TEST_P(UnitStoreFtpTest, AListingDeletesTemporaryFilesOfUploadsLongGone) {
    constexpr time_t kThreeDays = 3 * 24 * 60 * 60;
    const struct {
        const char* pszName;
        time_t nAge;
        bool bStays;
    } aFiles[] = {
        {"RzFilesOut/~RZKSET-0badc0de-4242-0000abcd.~~~~", kThreeDays, false},
        {"RzFilesOut/~RZKSET.~~~~", kThreeDays, false},
        {"RzFilesOut/~RZKSET-0badc0de-4243-0000abce.~~~~", 0, true},
        {"RzFilesOut/~RZKSET-0badc0de-4244-0000abcf.~~~~", 60 * 60, true},
        {"RzFilesOut/~OTHER.~~~~", kThreeDays, true},
        {"RzFilesOut/0001.fno", kThreeDays, true},
    };
    for (const auto& file : aFiles) {
        PutOnDisk(Server(), file.pszName, "part of an upload");
        std::string strPath = Server().PubFolder() + Server().DiskName(file.pszName);
        timespec aTimes[2] = {{time(nullptr) - file.nAge, 0}, {time(nullptr) - file.nAge, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, strPath.c_str(), aTimes, 0), 0);
    }
    ASSERT_TRUE(Store().SetFolder("RzFilesOut"));
    EXPECT_EQ(Described(Store().FindFiles("*")),
              (std::vector<std::string>{"0001.fno", "~OTHER.~~~~"}));
    for (const auto& file : aFiles) {
        EXPECT_EQ(ExistsOnDisk(Server(), file.pszName), file.bStays) << file.pszName;
    }
}

TEST_P(UnitStoreFtpTest, FindFilesListsMatchingEntriesWithoutRegardToCase) {
    for (const char* szName : {"RzFilesIn/0001.fno", "RzFilesIn/0002.FNO", "RzFilesIn/12ab.fno",
                               "RzFilesIn/readme.txt", "RzFilesIn/file name.fno"}) {
        PutOnDisk(Server(), szName, "%\r\n");
    }
    PutOnDisk(Server(), "RzFilesIn/old.fno/");
    PutOnDisk(Server(), "RzFilesOut/");

    ASSERT_TRUE(Store().SetFolder("RzFilesIn"));
    EXPECT_EQ(Described(Store().FindFiles("*.fno")),
              (std::vector<std::string>{"0001.fno", "0002.FNO", "12ab.fno", "file name.fno",
                                        "old.fno/"}));
    EXPECT_EQ(Described(Store().FindFiles("*.TXT")), (std::vector<std::string>{"readme.txt"}));
    EXPECT_EQ(Store().FindFiles("*").value().size(), 6u);
    ASSERT_TRUE(Store().SetFolder("RzFilesOut"));
    std::optional<std::vector<StoreEntry>> empty = Store().FindFiles("*.fno");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
}

TEST_P(UnitStoreFtpTest, JapaneseNamesTravelAsCodePage932) {
    WriteBytes(m_local / "program.nc", "%\r\nO0001(テスト)\r\n%\r\n");
    ASSERT_TRUE(Store().SetFolder("/pub/"));
    ASSERT_TRUE(Store().PutFile(m_local / "program.nc", kJapaneseName));
    ASSERT_TRUE(Store().PutFile(m_local / "program.nc", kTrailByteName));
    EXPECT_EQ(OnDisk(Server(), kJapaneseName), ReadBytes(m_local / "program.nc"));

    EXPECT_EQ(Described(Store().FindFiles("*.nc")), (std::vector<std::string>{kJapaneseName}));
    EXPECT_EQ(Described(Store().FindFiles("*.FNO")), (std::vector<std::string>{kTrailByteName}));
    EXPECT_TRUE(Store().GetFile(kTrailByteName, m_local / "back.nc"));
    EXPECT_EQ(ReadBytes(m_local / "back.nc"), ReadBytes(m_local / "program.nc"));
    EXPECT_TRUE(Store().Remove(kJapaneseName));
    EXPECT_FALSE(ExistsOnDisk(Server(), kJapaneseName));
}

TEST_P(UnitStoreFtpTest, SetFolderTakesEveryFormAndKeepsTheFolderWhenRefused) {
    PutOnDisk(Server(), "root.txt", "r");
    PutOnDisk(Server(), "RzFilesIn/0001.fno", "1");
    for (const char* szRoot : {"/pub/", "/pub", ""}) {
        ASSERT_TRUE(Store().SetFolder(szRoot)) << szRoot;
        EXPECT_EQ(Described(Store().FindFiles("*.txt")), (std::vector<std::string>{"root.txt"}));
    }
    for (const char* szFolder : {"/pub/RzFilesIn/", "/pub/RzFilesIn", "RzFilesIn", "RzFilesIn/"}) {
        ASSERT_TRUE(Store().SetFolder(szFolder)) << szFolder;
        EXPECT_EQ(Described(Store().FindFiles("*")), (std::vector<std::string>{"0001.fno"}));
    }
    EXPECT_FALSE(Store().SetFolder("RzFilesOut"));
    EXPECT_FALSE(Store().SetFolder("/etc/"));
    EXPECT_FALSE(Store().HasConnectionFailed());
    EXPECT_EQ(Store().FolderFailureMessage(), "127.0.0.1のフォルダ移動に失敗しました。");
    EXPECT_EQ(Described(Store().FindFiles("*")), (std::vector<std::string>{"0001.fno"}));
}

TEST_P(UnitStoreFtpTest, RemoveAndCreateDirectoryWorkFromAnyFolder) {
    PutOnDisk(Server(), "RzFilesIn/0001.fno", "1");
    PutOnDisk(Server(), "RzFilesIn/0002.fno", "2");

    ASSERT_TRUE(Store().SetFolder("RzFilesIn"));
    EXPECT_TRUE(Store().Remove("0001.fno"));
    EXPECT_FALSE(ExistsOnDisk(Server(), "RzFilesIn/0001.fno"));
    EXPECT_FALSE(Store().Remove("0001.fno"));
    EXPECT_FALSE(Store().HasConnectionFailed());
    // The refused command cost curl its connection; the next one logs in again.
    EXPECT_EQ(Described(Store().FindFiles("*.fno")), (std::vector<std::string>{"0002.fno"}));

    ASSERT_TRUE(Store().SetFolder("/pub/"));
    EXPECT_TRUE(Store().CreateDirectory("RzFilesOut"));
    EXPECT_TRUE(std::filesystem::is_directory(Server().PubFolder() + "RzFilesOut"));
    EXPECT_TRUE(Store().CreateDirectory("RzFilesOut"));
    // Names never leave the folder or smuggle in a second command.
    EXPECT_TRUE(Store().SetFolder("RzFilesOut"));
    EXPECT_FALSE(Store().Remove("../RzFilesIn/0002.fno"));
    EXPECT_FALSE(Store().Remove("x\r\nDELE /pub/RzFilesIn/0002.fno"));
    EXPECT_TRUE(ExistsOnDisk(Server(), "RzFilesIn/0002.fno"));
}

INSTANTIATE_TEST_SUITE_P(Servers, UnitStoreFtpTest,
                         ::testing::Values(FtpPeer{"SimulatorPassive", false, true},
                                           FtpPeer{"SimulatorActive", false, false},
                                           FtpPeer{"VsftpdPassive", true, true},
                                           FtpPeer{"VsftpdActive", true, false}),
                         [](const ::testing::TestParamInfo<FtpPeer>& paramInfo) {
                             return std::string(paramInfo.param.szName);
                         });

TEST(UnitSimulatorTest, SeedsADemoStore) {
    CUnitSimulator simulator({"--seed"});
    CTestFolder local;
    CUnitStore store(NetworkSettings(simulator.Port()));
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_EQ(Described(store.FindFiles("*")),
              (std::vector<std::string>{"PVN_RZK70", "RZKIN", "RzFilesIn/", "images/"}));
    ASSERT_TRUE(store.GetFile("RZKIN", local / "RZKIN"));
    EXPECT_EQ(ReadBytes(local / "RZKIN"), "%\r\nO0001\r\nG00 X0\r\nM30\r\nO0002\r\nM30\r\n%\r\n");
    ASSERT_TRUE(store.SetFolder("RzFilesIn"));
    EXPECT_EQ(Described(store.FindFiles("*.fno")),
              (std::vector<std::string>{"0001.fno", "0002.fno", "0010.fno", "12ab.fno"}));
    ASSERT_TRUE(store.SetFolder("images"));
    EXPECT_EQ(Described(store.FindFiles("*")),
              (std::vector<std::string>{"INFO.INI", "PVNRSIO.INI", "RZK70.REQ", "interfaces"}));
    ASSERT_TRUE(store.GetFile("interfaces", local / "interfaces"));
    EXPECT_NE(ReadBytes(local / "interfaces").find("iface eth0 inet static\r\n"),
              std::string::npos);
    store.Close();
}

// A unit that refuses one command: that operation fails, the connection carries on.
class UnitStoreRefusalTest : public ::testing::Test {
protected:
    void Start(const std::string& strCommand) {
        m_pSimulator =
            std::make_unique<CUnitSimulator>(std::vector<std::string>{"--refuse", strCommand});
        PutOnDisk(*m_pSimulator, "RZKIN", "%\r\nO0001\r\n%\r\n");
        PutOnDisk(*m_pSimulator, "RzFilesIn/0001.fno", "1");
        m_pStore = std::make_unique<CUnitStore>(NetworkSettings(m_pSimulator->Port()));
        ASSERT_TRUE(m_pStore->Connect());
    }
    void TearDown() override {
        EXPECT_FALSE(m_pStore->HasConnectionFailed()) << m_pStore->ConnectionFailureMessage();
        m_pStore->Close();
    }

    CTestFolder m_local;
    std::unique_ptr<CUnitSimulator> m_pSimulator;
    std::unique_ptr<CUnitStore> m_pStore;
};

TEST_F(UnitStoreRefusalTest, RefusedFolderChange) {
    Start("CWD");
    EXPECT_FALSE(m_pStore->SetFolder("RzFilesIn"));
    EXPECT_FALSE(m_pStore->SetFolder("/pub/"));
}

TEST_F(UnitStoreRefusalTest, RefusedUpload) {
    Start("STOR");
    WriteBytes(m_local / "new.nc", "new");
    ASSERT_TRUE(m_pStore->SetFolder("/pub/"));
    EXPECT_FALSE(m_pStore->PutFile(m_local / "new.nc", "RZKIN"));
    EXPECT_EQ(OnDisk(*m_pSimulator, "RZKIN"), "%\r\nO0001\r\n%\r\n");
    EXPECT_TRUE(m_pStore->GetFile("RZKIN", m_local / "RZKIN"));
}

TEST_F(UnitStoreRefusalTest, RefusedDownloadLeavesTheLocalFileAsItWas) {
    Start("RETR");
    WriteBytes(m_local / "RZKIN", "the operator's own file");
    ASSERT_TRUE(m_pStore->SetFolder("/pub/"));
    EXPECT_FALSE(m_pStore->GetFile("RZKIN", m_local / "RZKIN"));
    EXPECT_EQ(ReadBytes(m_local / "RZKIN"), "the operator's own file");
    EXPECT_EQ(FolderEntries(m_local.Path()), (std::set<std::string>{"RZKIN"}));
}

TEST_F(UnitStoreRefusalTest, RefusedDelete) {
    Start("DELE");
    ASSERT_TRUE(m_pStore->SetFolder("RzFilesIn"));
    EXPECT_FALSE(m_pStore->Remove("0001.fno"));
    EXPECT_TRUE(ExistsOnDisk(*m_pSimulator, "RzFilesIn/0001.fno"));
    EXPECT_EQ(m_pStore->FindFiles("*.fno").value().size(), 1u);
}

TEST_F(UnitStoreRefusalTest, RefusedMakeFolderStillAcceptsAnExistingFolder) {
    Start("MKD");
    ASSERT_TRUE(m_pStore->SetFolder("/pub/"));
    EXPECT_FALSE(m_pStore->CreateDirectory("RzFilesOut"));
    EXPECT_TRUE(m_pStore->CreateDirectory("RzFilesIn"));
}

TEST_F(UnitStoreRefusalTest, RefusedListing) {
    Start("LIST");
    ASSERT_TRUE(m_pStore->SetFolder("RzFilesIn"));
    EXPECT_FALSE(m_pStore->FindFiles("*.fno").has_value());
}

// A data connection that breaks half way is a connection failure; the download replaces
// nothing and leaves nothing behind.
class UnitStoreCutTest : public ::testing::TestWithParam<bool> {};

TEST_P(UnitStoreCutTest, DataConnectionCutHalfWayFailsTheConnection) {
    CUnitSimulator simulator({"--cut-data-after", "100000"});
    CTestFolder local;
    const std::string bytes = RandomBytes(1024 * 1024);
    PutOnDisk(simulator, "big.bin", bytes);
    WriteBytes(local / "big.bin", "the operator's own file");
    WriteBytes(local / "upload.bin", bytes);

    CUnitStore store(NetworkSettings(simulator.Port(), GetParam()));
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_FALSE(store.GetFile("big.bin", local / "big.bin"));
    EXPECT_TRUE(store.HasConnectionFailed());
    EXPECT_EQ(ReadBytes(local / "big.bin"), "the operator's own file");
    EXPECT_EQ(FolderEntries(local.Path()), (std::set<std::string>{"big.bin", "upload.bin"}));
    EXPECT_FALSE(store.SetFolder("/pub/")) << "a failed connection stops the action";
    store.Close();

    ASSERT_TRUE(store.Connect()) << "a new action starts afresh";
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_FALSE(store.PutFile(local / "upload.bin", "upload.bin"));
    EXPECT_TRUE(store.HasConnectionFailed());
    store.Close();
}

INSTANTIATE_TEST_SUITE_P(Modes, UnitStoreCutTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& paramInfo) {
                             return std::string(paramInfo.param ? "Passive" : "Active");
                         });

// A unit that goes away in the middle of an upload, before the program can delete the
// temporary file, keeps that file (which no listing shows); the next upload of the program to
// that unit deletes it, so that such files do not pile up on the unit's memory.
TEST(UnitStoreLeftOverTest, TheNextUploadDeletesWhatAUnitGoneAwayKept) {
    CTestFolder root;
    CTestFolder local;
    WriteBytes(local / "big.nc", RandomBytes(1024 * 1024));
    {
        CUnitSimulator goingAway(
            root.Path(), {"--cut-data-after", "100000", "--cut-control-after-command", "DELE"});
        CUnitStore store(NetworkSettings(goingAway.Port()));
        ASSERT_TRUE(store.Connect());
        ASSERT_TRUE(store.SetFolder("/pub/"));
        EXPECT_FALSE(store.PutFile(local / "big.nc", "RZKOUT"));
        store.Close();
    }
    std::set<std::string> aKept = FolderEntries(root / "pub");
    ASSERT_EQ(aKept.size(), 1u);
    EXPECT_TRUE(IsTemporaryName(*aKept.begin())) << *aKept.begin();

    CUnitSimulator back(root.Path(), {});
    CUnitStore store(NetworkSettings(back.Port()));
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_TRUE(store.PutFile(local / "big.nc", "RZKOUT"));
    EXPECT_FALSE(store.HasConnectionFailed()) << store.ConnectionFailureMessage();
    store.Close();
    EXPECT_EQ(FolderEntries(root / "pub"), std::set<std::string>{"RZKOUT"});
}

// An upload cut half way over vsftpd, whose sessions the test kills, with and without the
// rename: the unit keeps the old program or none, never part of the new one; a server that
// refuses RNFR still gets the whole file.
struct CutUploadCase {
    const char* szName;
    bool bRenameRefused;
    bool bCut;
    const char* szLeft;  // what stands under the final name afterwards: "old", "new" or ""
};

void PrintTo(const CutUploadCase& cutCase, std::ostream* pStream) {
    *pStream << cutCase.szName;
}

class UnitStoreCutUploadTest : public ::testing::TestWithParam<CutUploadCase> {};

TEST_P(UnitStoreCutUploadTest, LeavesTheOldProgramOrNoneUnderItsName) {
    const CutUploadCase& cutCase = GetParam();
    // Throttled to 100 kB/s, so that the test sees the transfer under way.
    std::vector<std::string> aConfig = {"anon_max_rate=100000"};
    if (cutCase.bRenameRefused) {
        aConfig.push_back("cmds_denied=RNFR");
    }
    CVsftpd vsftpd;
    if (std::string strReason = vsftpd.Start(aConfig); !strReason.empty()) {
        GTEST_SKIP() << "vsftpd cannot serve here: " << strReason;
    }
    const std::string oldBytes = "%\r\nO0001(OLD)\r\n%\r\n";
    const std::string newBytes = RandomBytes(200 * 1024);
    PutOnDisk(vsftpd, "RZKOUT", oldBytes);
    CTestFolder local;
    WriteBytes(local / "new.nc", newBytes);

    // The transfer that can leave a partial file: the temporary one, or with the rename
    // refused the direct one onto the final name.
    auto watchedSize = [&] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(vsftpd.PubFolder(), error)) {
            std::string strName = entry.path().filename().string();
            if (cutCase.bRenameRefused ? strName == "RZKOUT" : IsTemporaryName(strName)) {
                return entry.file_size(error);
            }
        }
        return std::uintmax_t{0};
    };
    std::jthread cutter([&](std::stop_token stop) {
        while (cutCase.bCut && !stop.stop_requested()) {
            if (watchedSize() >= 32 * 1024) {
                vsftpd.CutSessions();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    CUnitStore store(NetworkSettings(vsftpd.Port(), true, 10));
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_EQ(store.PutFile(local / "new.nc", "RZKOUT"), !cutCase.bCut);
    EXPECT_EQ(store.HasConnectionFailed(), cutCase.bCut);
    store.Close();
    cutter.request_stop();

    std::string strLeft = cutCase.szLeft;
    if (strLeft.empty()) {
        EXPECT_TRUE(FolderEntries(vsftpd.PubFolder()).empty());
    } else {
        EXPECT_EQ(FolderEntries(vsftpd.PubFolder()), std::set<std::string>{"RZKOUT"});
        EXPECT_TRUE(OnDisk(vsftpd, "RZKOUT") == (strLeft == "new" ? newBytes : oldBytes));
    }
}

INSTANTIATE_TEST_SUITE_P(Vsftpd, UnitStoreCutUploadTest,
                         ::testing::Values(CutUploadCase{"Renamed", false, false, "new"},
                                           CutUploadCase{"RenamedCut", false, true, "old"},
                                           CutUploadCase{"RenameRefused", true, false, "new"},
                                           CutUploadCase{"RenameRefusedCut", true, true, ""}),
                         [](const ::testing::TestParamInfo<CutUploadCase>& paramInfo) {
                             return std::string(paramInfo.param.szName);
                         });

// Store names that would leave the folder or end an FTP command early are refused by both
// transports before anything is touched.
class UnitStoreRefusedNameTest : public ::testing::TestWithParam<bool> {};

TEST_P(UnitStoreRefusedNameTest, RefusesNamesWithLineEndsNulOrParentFolders) {
    bool bNetwork = GetParam();
    CTestFolder drive;
    std::unique_ptr<CUnitSimulator> pSimulator;
    UnitStoreSettings settings;
    std::string strStoreFolder = drive.Path();
    if (bNetwork) {
        pSimulator = std::make_unique<CUnitSimulator>();
        settings = NetworkSettings(pSimulator->Port());
        strStoreFolder = pSimulator->PubFolder();
    } else {
        settings.strUsbDrive = drive.Path();
    }
    std::filesystem::create_directories(strStoreFolder + "RzFilesIn");
    WriteBytes(strStoreFolder + "RZKIN", "%\r\n");
    CTestFolder local;
    WriteBytes(local / "new.nc", "new");

    CUnitStore store(settings);
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("RzFilesIn"));
    const std::string aNames[] = {"A\rB",
                                  "A\nB",
                                  "RZKIN\r\nDELE /pub/RZKIN",
                                  std::string("A\0B", 3),
                                  "..",
                                  "../RZKIN",
                                  "x/../../RZKIN",
                                  "."};
    for (const std::string& strName : aNames) {
        EXPECT_FALSE(store.PutFile(local / "new.nc", strName)) << strName;
        EXPECT_FALSE(store.GetFile(strName, local / "got.nc")) << strName;
        EXPECT_FALSE(store.Remove(strName)) << strName;
        EXPECT_FALSE(store.CreateDirectory(strName)) << strName;
        EXPECT_FALSE(store.SetFolder(strName)) << strName;
    }
    EXPECT_FALSE(store.HasConnectionFailed());
    store.Close();
    EXPECT_EQ(FolderEntries(strStoreFolder), (std::set<std::string>{"RZKIN", "RzFilesIn"}));
    EXPECT_TRUE(FolderEntries(strStoreFolder + "RzFilesIn").empty());
    EXPECT_EQ(FolderEntries(local.Path()), std::set<std::string>{"new.nc"});
}

INSTANTIATE_TEST_SUITE_P(Transports, UnitStoreRefusedNameTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& paramInfo) {
                             return std::string(paramInfo.param ? "Network" : "UsbMemory");
                         });

bool EndsWith(const std::string& strText, const std::string& strEnd) {
    return strText.size() > strEnd.size() && strText.ends_with(strEnd);
}

TEST(UnitStoreConnectionTest, NothingListeningIsAConnectionFailureNamingTheAddress) {
    int nPort = 0;
    {
        CUnitSimulator closed;  // its port is free again once it has stopped
        nPort = closed.Port();
    }
    CUnitStore store(NetworkSettings(nPort));
    EXPECT_FALSE(store.Connect());
    EXPECT_TRUE(store.HasConnectionFailed());
    std::string strMessage = store.ConnectionFailureMessage();
    EXPECT_TRUE(EndsWith(strMessage, "\n127.0.0.1への接続に失敗しました。")) << strMessage;
    EXPECT_GT(strMessage.find('\n'), 0u) << "the error text comes first";
    EXPECT_FALSE(store.SetFolder("/pub/"));
    store.Close();
}

// The client's time-out (2 s here) bounds every wait for a silent unit; without it these
// tests would hang.
TEST(UnitStoreConnectionTest, SilentUnitFailsWithinTheTimeout) {
    for (const std::vector<std::string>& aOptions :
         {std::vector<std::string>{"--stall-login"}, std::vector<std::string>{"--stall", "RETR"}}) {
        CUnitSimulator simulator(aOptions);
        PutOnDisk(simulator, "RZKIN", "%\r\n");
        CTestFolder local;
        CUnitStore store(NetworkSettings(simulator.Port(), true, 2));
        auto start = std::chrono::steady_clock::now();
        bool bDone =
            store.Connect() && store.SetFolder("/pub/") && store.GetFile("RZKIN", local / "RZKIN");
        auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(bDone) << aOptions[0];
        EXPECT_TRUE(store.HasConnectionFailed()) << aOptions[0];
        EXPECT_LT(elapsed, std::chrono::seconds(15)) << aOptions[0];
        EXPECT_TRUE(
            EndsWith(store.ConnectionFailureMessage(), "127.0.0.1への接続に失敗しました。"));
        EXPECT_TRUE(FolderEntries(local.Path()).empty());
        store.Close();
    }
}

// A unit that keeps a transfer alive with a few bytes a second fails it within the time-out
// (2 s here) as a silent one does: a 300-byte file at that pace would take about 8 s, a program
// of 200 KB a day.
TEST(UnitStoreConnectionTest, TricklingUnitFailsWithinTheTimeout) {
    CUnitSimulator simulator({"--rate", "20"});
    PutOnDisk(simulator, "RZKIN", RandomBytes(300));
    CTestFolder local;
    CUnitStore store(NetworkSettings(simulator.Port(), true, 2));
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_FALSE(store.GetFile("RZKIN", local / "RZKIN"));
    EXPECT_TRUE(store.HasConnectionFailed());
    EXPECT_TRUE(
        store.ConnectionFailureMessage().starts_with("ユニットが時間内に応答しませんでした。\n"))
        << store.ConnectionFailureMessage();
    EXPECT_TRUE(FolderEntries(local.Path()).empty());
    store.Close();
}

// The end of a download is the end of its data connection and the server's confirmation,
// whatever size the unit announced before: a SIZE reply (and an opening reply) that says less
// must not shorten the program, one that says more must not fail it.
TEST(UnitStoreDownloadTest, TakesEveryByteWhateverSizeTheUnitAnnounces) {
    const std::string bytes = RandomBytes(200 * 1024);
    for (const char* szAnnounced : {"10", "204799", "204801", "1073741824"}) {
        CUnitSimulator simulator({"--size-reply", szAnnounced});
        PutOnDisk(simulator, "RZKIN", bytes);
        CTestFolder local;
        CUnitStore store(NetworkSettings(simulator.Port()));
        ASSERT_TRUE(store.Connect());
        ASSERT_TRUE(store.SetFolder("/pub/"));
        EXPECT_TRUE(store.GetFile("RZKIN", local / "RZKIN")) << szAnnounced;
        EXPECT_TRUE(ReadBytes(local / "RZKIN") == bytes) << szAnnounced;
        EXPECT_FALSE(store.HasConnectionFailed()) << store.ConnectionFailureMessage();
        store.Close();
    }
}

TEST(UnitStoreConnectionTest, DroppedControlConnectionIsAConnectionFailure) {
    CUnitSimulator simulator({"--cut-control-after-command", "RETR"});
    PutOnDisk(simulator, "RZKIN", "%\r\n");
    CTestFolder local;
    CUnitStore store(NetworkSettings(simulator.Port()));
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.SetFolder("/pub/"));
    EXPECT_FALSE(store.GetFile("RZKIN", local / "RZKIN"));
    EXPECT_TRUE(store.HasConnectionFailed());
    store.Close();
}

// The unit accepts only its own password; a refused login is a failed connection, as the
// platform's internet client reports it, with the server's reply in the text.
// The commands that reached the simulator since the log was last read, one a line.
std::vector<std::string> TakeCommands(const std::string& strLog) {
    std::vector<std::string> aCommands;
    std::string strText = ReadBytes(strLog);
    for (size_t nStart = 0; nStart < strText.size();) {
        size_t nEnd = strText.find('\n', nStart);
        aCommands.push_back(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    WriteBytes(strLog, "");
    return aCommands;
}

// Deleting the files of a folder, each fetched first as the history does, costs the unit one
// command a deletion: the connection stays in the folder the listing went to.
TEST(UnitStoreCommandsTest, DeletionsInTheListedFolderChangeNoFolder) {
    CTestFolder log;
    const std::string strLog = log / "commands";
    CUnitSimulator unit({"--command-log", strLog});
    for (const char* pszName : {"0001.fno", "0002.fno", "0003.fno"}) {
        PutOnDisk(unit, std::string("RzFilesOut/") + pszName, pszName);
    }
    CUnitStore store(NetworkSettings(unit.Port()));
    ASSERT_TRUE(store.Connect() && store.SetFolder("RzFilesOut"));
    std::optional<std::vector<StoreEntry>> aEntries = store.FindFiles("*");
    ASSERT_TRUE(aEntries);
    TakeCommands(strLog);
    for (const StoreEntry& entry : *aEntries) {
        EXPECT_EQ(store.ReadFile(entry.strName), entry.strName);
        EXPECT_TRUE(store.Remove(entry.strName));
    }
    std::vector<std::string> aCommands = TakeCommands(strLog);
    EXPECT_EQ(std::count(aCommands.begin(), aCommands.end(), "DELE"), 3);
    EXPECT_EQ(std::count(aCommands.begin(), aCommands.end(), "CWD"), 0);
    EXPECT_TRUE(std::filesystem::is_empty(unit.PubFolder() + "RzFilesOut"));
}

// The times to the second that the history compares cost one MLSD for the folder, not a MDTM
// a file; a file the action writes is listed again when its time is asked, one it deletes not.
TEST(UnitStoreCommandsTest, TimesToTheSecondOfAFolderCostOneListing) {
    CTestFolder log;
    const std::string strLog = log / "commands";
    CUnitSimulator unit({"--command-log", strLog});
    const std::vector<std::string> aNames = {"0001.fno", "0002.fno", "0003.fno"};
    for (const std::string& strName : aNames) {
        PutOnDisk(unit, "RzFilesOut/" + strName, strName);
    }
    CUnitStore store(NetworkSettings(unit.Port()));
    ASSERT_TRUE(store.Connect() && store.SetFolder("RzFilesOut"));
    TakeCommands(strLog);
    auto countOf = [](const std::vector<std::string>& aCommands, const char* pszCommand) {
        return std::count(aCommands.begin(), aCommands.end(), pszCommand);
    };
    for (const std::string& strName : aNames) {
        std::optional<std::string> time = store.ExactTime(strName);
        ASSERT_TRUE(time) << strName;
        EXPECT_EQ(time->size(), 14U);
    }
    std::vector<std::string> aCommands = TakeCommands(strLog);
    EXPECT_EQ(countOf(aCommands, "MLSD"), 1);
    EXPECT_EQ(countOf(aCommands, "MDTM"), 0);

    CTestFolder pc;
    WriteBytes(pc / "new.nc", "new bytes");
    ASSERT_TRUE(store.PutFile(pc / "new.nc", "0002.fno"));
    ASSERT_TRUE(store.Remove("0001.fno"));
    TakeCommands(strLog);
    EXPECT_TRUE(store.ExactTime("0003.fno"));
    EXPECT_EQ(countOf(TakeCommands(strLog), "MLSD"), 0);
    EXPECT_TRUE(store.ExactTime("0002.fno"));
    EXPECT_FALSE(store.ExactTime("0001.fno"));
    EXPECT_EQ(countOf(TakeCommands(strLog), "MLSD"), 1);
}

TEST(FtpClientTest, RefusedLoginIsAConnectionFailureWithTheServersReply) {
    CUnitSimulator simulator;
    CFtpClient client({"127.0.0.1", simulator.Port(), "anonymous", "guest@", true, 10});
    EXPECT_EQ(client.Connect(), FtpResult::ConnectionFailed);
    EXPECT_NE(client.ErrorText().find("\n530 "), std::string::npos) << client.ErrorText();
    CFtpClient unit({"127.0.0.1", simulator.Port(), "anonymous", "zvb", true, 10});
    EXPECT_EQ(unit.Connect(), FtpResult::Done) << unit.ErrorText();
}

}  // namespace
