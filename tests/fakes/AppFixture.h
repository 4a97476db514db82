#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/RZKSETApp.h"
#include "tests/fakes/FakeUiServices.h"

// A test with the application object in a known state: a fresh temporary ExeDir with its Data/
// folder, the scripted UI services, and every member at its start-up default.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_exeDir = std::filesystem::temp_directory_path() /
                   ("rzkset_" + std::to_string(getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_exeDir);
        std::filesystem::create_directories(m_exeDir / "Data");
        auto pUi = std::make_unique<CFakeUiServices>();
        m_pUi = pUi.get();
        CRZKSETApp& app = App();
        app.SetUi(std::move(pUi));
        app.ExeDir = m_exeDir.string() + "/";
        app.Sousa = 0;
        app.Pasv = 1;
        app.NC_Dir.clear();
        app.UsbDrive = "/";
        app.UsbDriveName = "/";
        app.SetFileName = "１号機";
        app.SetFilePath = app.ProfileFilePath(app.SetFileName);
        app.SetData.ResetDefaults();
        app.FtpPort = 21;
        app.FtpTimeoutSeconds = 30;
        app.DeviceEventsEnabled = 0;
    }
    void TearDown() override {
        // The fake checks its script when it goes; give it a fresh successor.
        App().SetUi(std::make_unique<CFakeUiServices>());
        std::filesystem::remove_all(m_exeDir);
    }

    static CRZKSETApp& App() { return GetApp(); }
    CFakeUiServices& Ui() { return *m_pUi; }

    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    static void WriteFile(const std::filesystem::path& path, const std::string& strContent) {
        std::ofstream(path, std::ios::binary) << strContent;
    }

    std::filesystem::path m_exeDir;
    CFakeUiServices* m_pUi = nullptr;
};
