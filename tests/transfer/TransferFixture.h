#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/AppFixture.h"
#include "tests/fakes/TestServers.h"

enum class Transport { Usb, Network };

inline std::string TransportName(const ::testing::TestParamInfo<Transport>& info) {
    return info.param == Transport::Usb ? "Usb" : "Network";
}

// An operation of the transfer subsystem run end to end against a real store: a folder
// standing for the USB memory, or the unit simulator over FTP; a folder of PC files beside it.
class TransferTest : public AppFixture, public ::testing::WithParamInterface<Transport> {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        if (GetParam() == Transport::Network) {
            StartUnit();
        } else {
            App().Sousa = 0;
            App().UsbDrive = m_usb.Path();
        }
    }
    void TearDown() override {
        AppFixture::TearDown();
        // A parameterised test's name holds a "/", which gave the program folder a parent.
        std::error_code error;
        std::filesystem::remove(m_exeDir.parent_path(), error);
    }

    bool IsNetwork() const { return GetParam() == Transport::Network; }

    // (Re)starts the unit simulator with fault options, keeping nothing of an earlier one.
    void StartUnit(const std::vector<std::string>& aOptions = {}) {
        m_pUnit.reset();
        m_pUnit = std::make_unique<CUnitSimulator>(aOptions);
        CRZKSETApp& app = App();
        app.Sousa = 1;
        app.SetData.IP1 = 127;
        app.SetData.IP2 = 0;
        app.SetData.IP3 = 0;
        app.SetData.IP4 = 1;
        app.FtpPort = m_pUnit->Port();
    }

    // The store file of a name (code page 932) on the disk behind the store.
    std::string StorePath(const std::string& strName) const {
        return IsNetwork() ? m_pUnit->PubFolder() + m_pUnit->DiskName(strName)
                           : m_usb.Path() + strName;
    }
    void PutInStore(const std::string& strName, const std::string& bytes) const {
        WriteBytes(StorePath(strName), bytes);
        chmod(StorePath(strName).c_str(), 0666);
    }
    std::string InStore(const std::string& strName) const { return ReadBytes(StorePath(strName)); }
    bool IsInStore(const std::string& strName) const {
        return std::filesystem::exists(StorePath(strName));
    }

    // Writes a PC file and returns its path.
    std::string PcFile(const std::string& strName, const std::string& bytes) const {
        WriteBytes(m_pc / strName, bytes);
        return m_pc / strName;
    }

    // Nothing of the action stays in the program folder.
    std::set<std::string> ProgramFolderEntries() const {
        std::set<std::string> aEntries = FolderEntries(App().ExeDir);
        aEntries.erase("Data");
        return aEntries;
    }

    CTestFolder m_usb;
    CTestFolder m_pc;
    std::unique_ptr<CUnitSimulator> m_pUnit;
};

#define INSTANTIATE_FOR_BOTH_TRANSPORTS(Suite)                                                    \
    INSTANTIATE_TEST_SUITE_P(Store, Suite, ::testing::Values(Transport::Usb, Transport::Network), \
                             TransportName)
