#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "settings/SetData.h"
#include "tests/fakes/TestServers.h"

namespace {

const std::string kDefaultRsio =
    "BPS=0\r\nSTOPBIT=2\r\nDOT=NC\r\nCODE=0\r\nOUTCHGO=7000\r\nOUTCHGO2=7009\r\nSAME=0\r\n"
    "INDOT=1\r\nOUTFILE=RZKOUT\r\nINFILE=RZKIN\r\nDECODE=-1\r\n";
const std::string kDefaultInterfaces =
    "auto lo\r\niface lo inet loopback\r\nauto eth0\r\niface eth0 inet static\r\n"
    "address 192.168.0.102\r\nnetmask 255.255.255.0\r\n";

// Output of a command; empty when it failed.
std::string CommandOutput(const std::string& strCommand) {
    std::string strOutput;
    FILE* pipe = popen(strCommand.c_str(), "r");
    char buffer[512];
    size_t length = 0;
    while (pipe != nullptr && (length = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        strOutput.append(buffer, length);
    }
    return pipe != nullptr && pclose(pipe) == 0 ? strOutput : std::string();
}

TEST(UnitConfig, EveryDefaultIsWrittenByteForByteAndTheSameTwice) {
    CTestFolder usb;
    CSetData profile;
    ASSERT_TRUE(profile.WriteUnitConfig(usb.Path()));
    EXPECT_EQ(ReadBytes(usb / "rzksys/PVNRSIO.INI"), kDefaultRsio);
    EXPECT_EQ(ReadBytes(usb / "rzksys/interfaces"), kDefaultInterfaces);
    EXPECT_EQ(FolderEntries(usb / "images"), std::set<std::string>{});
    ASSERT_TRUE(profile.WriteUnitConfig(usb.Path()));
    EXPECT_EQ(ReadBytes(usb / "rzksys/PVNRSIO.INI"), kDefaultRsio);
    EXPECT_EQ(FolderEntries(usb / "rzksys"), (std::set<std::string>{"PVNRSIO.INI", "interfaces"}));
}

TEST(UnitConfig, EachProfileValueReachesItsLine) {
    struct Case {
        std::function<void(CSetData&)> change;
        std::string strFrom;  // text of the default file replaced ...
        std::string strTo;    // ... by this
    };
    const Case aCases[] = {
        {[](CSetData& p) { p.BPS = 0; }, "BPS=0", "BPS=-2"},
        {[](CSetData& p) { p.BPS = 5; }, "BPS=0", "BPS=3"},
        {[](CSetData& p) { p.STOPBIT = 0; }, "STOPBIT=2", "STOPBIT=1"},
        {[](CSetData& p) {
             p.SAME = true;
             p.IN_FILE_NAME = "OTHER";
         },
         "SAME=0\r\nINDOT=1\r\nOUTFILE=RZKOUT\r\nINFILE=RZKIN",
         "SAME=1\r\nINDOT=1\r\nOUTFILE=RZKOUT\r\nINFILE=RZKOUT"},
        {[](CSetData& p) { p.IN_CODE = 1; }, "DECODE=-1", "DECODE=-1"},
        {[](CSetData& p) {
             p.AUTO_IN_CODE = false;
             p.IN_CODE = 1;
         },
         "DECODE=-1", "DECODE=1"},
        {[](CSetData& p) { p.ADD_DOT = true; }, "INDOT=1", "INDOT=0"},
        {[](CSetData& p) { p.DOT = "\x83\x65"; }, "DOT=NC", "DOT=\x83\x65"},  // テ
        {[](CSetData& p) { p.REMOTE_NO2 = 9999; }, "OUTCHGO2=7009", "OUTCHGO2=9999"},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.strTo);
        CSetData profile;
        testCase.change(profile);
        std::string strExpected = kDefaultRsio;
        strExpected.replace(strExpected.find(testCase.strFrom), testCase.strFrom.size(),
                            testCase.strTo);
        EXPECT_EQ(profile.UnitRsioText(), strExpected);
    }
}

// The unit reads "interfaces" with Debian's ifupdown: its own reader must find the address and
// the netmask in what is written, CR LF line ends and all.
TEST(UnitConfig, IfupdownReadsTheInterfacesFile) {
    CTestFolder usb;
    CSetData profile;
    profile.IP1 = 10;
    profile.IP2 = 1;
    profile.IP3 = 2;
    profile.IP4 = 250;
    profile.MASK3 = 0;
    ASSERT_TRUE(profile.WriteUnitConfig(usb.Path()));
    std::string strOutput =
        CommandOutput("/usr/sbin/ifquery --interfaces='" + (usb / "rzksys/interfaces") + "' eth0");
    EXPECT_NE(strOutput.find("address: 10.1.2.250\n"), std::string::npos) << strOutput;
    EXPECT_NE(strOutput.find("netmask: 255.255.0.0\n"), std::string::npos) << strOutput;
}

TEST(UnitConfig, AFileThatCannotBeWrittenFailsAndLeavesTheOldOneWhole) {
    CTestFolder usb;
    CSetData profile;
    ASSERT_TRUE(profile.WriteUnitConfig(usb.Path()));
    // "interfaces" taken by a folder: PVNRSIO.INI is new, interfaces cannot be.
    std::filesystem::remove(usb / "rzksys/interfaces");
    std::filesystem::create_directory(usb / "rzksys/interfaces");
    profile.BPS = 5;
    EXPECT_FALSE(profile.WriteUnitConfig(usb.Path()));
    EXPECT_EQ(ReadBytes(usb / "rzksys/PVNRSIO.INI").substr(0, 7), "BPS=3\r\n");
    // A memory without room for rzksys: nothing is written.
    CTestFolder full;
    WriteBytes(full / "rzksys", "a file where the folder belongs");
    EXPECT_FALSE(profile.WriteUnitConfig(full.Path()));
    EXPECT_EQ(FolderEntries(full.Path()), (std::set<std::string>{"images", "rzksys"}));
}

TEST(UnitConfig, TheUnitsInDotIsReadFromItsFile) {
    struct Case {
        const char* pszFile;  // nullptr: no file
        bool bBefore;
        bool bAfter;
    };
    const Case aCases[] = {
        {nullptr, true, true},
        {"BPS=0\r\nINDOT=0\r\n", true, false},
        {"INDOT=1\r\nINDOT=0\n", true, false},
        {"INDOT=0\r\n#RZKSet Section End\r\nINDOT=1\r\n", true, false},
        {"#RZKSet Section Start\r\nINDOT=7\r\n#RZKSet Section Start\r\nINDOT=0\r\n", false, true},
        {"indot=0\r\nINDOT\r\n", true, true},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.pszFile ? testCase.pszFile : "no file");
        CTestFolder usb;
        if (testCase.pszFile != nullptr) {
            std::filesystem::create_directory(usb / "rzksys");
            WriteBytes(usb / "rzksys/PVNRSIO.INI", testCase.pszFile);
        }
        CSetData profile;
        profile.unitInDot = testCase.bBefore;
        profile.ReadUnitInDot(usb.Path());
        EXPECT_EQ(profile.unitInDot, testCase.bAfter);
        EXPECT_TRUE(std::filesystem::is_directory(usb / "images"));
    }
}

}  // namespace
