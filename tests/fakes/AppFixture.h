#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/RZKSETApp.h"
#include "tests/fakes/FakeUiServices.h"

// A test with an application object of its own, in its start-up state: a fresh temporary
// ExeDir with its Data/ folder, the scripted UI services and no drives.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_exeDir = std::filesystem::temp_directory_path() /
                   ("rzkset_" + std::to_string(getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_exeDir);
        std::filesystem::create_directories(m_exeDir / "Data");
        m_pApp = std::make_unique<CRZKSETApp>();
        m_pPreviousApp = SetCurrentApp(m_pApp.get());
        auto pUi = std::make_unique<CFakeUiServices>();
        m_pUi = pUi.get();
        m_pApp->SetUi(std::move(pUi));
        m_pApp->ExeDir = m_exeDir.string() + "/";
        // No volumes unless a test mounts its own: the machine's real drives (a USB memory that
        // happens to be plugged in) must not take part in a test.
        std::string strNoRoot = (m_exeDir / "no-drives").string();
        m_pApp->Drives = CDriveTable(strNoRoot, strNoRoot, strNoRoot);
        m_pApp->UsbDrive = "/";
        m_pApp->UsbDriveName = "/";
        m_pApp->SetFileName = "１号機";
        m_pApp->SetFilePath = m_pApp->ProfileFilePath(m_pApp->SetFileName);
    }
    void TearDown() override {
        SetCurrentApp(m_pPreviousApp);
        // The fake checks its script when it goes, with the application object.
        m_pApp.reset();
        std::filesystem::remove_all(m_exeDir);
    }

    static CRZKSETApp& App() { return GetApp(); }
    // A folder of ExeDir stands for the USB memory; it is there, as a memory in the PC is (the
    // list dialogs do not open on one they cannot list).
    void UseUsbFolder() {
        std::filesystem::create_directories(m_exeDir / "usb");
        App().UsbDrive = (m_exeDir / "usb").string() + "/";
    }
    CFakeUiServices& Ui() { return *m_pUi; }

    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    static void WriteFile(const std::filesystem::path& path, const std::string& strContent) {
        std::ofstream(path, std::ios::binary) << strContent;
    }

    std::filesystem::path m_exeDir;
    std::unique_ptr<CRZKSETApp> m_pApp;
    CRZKSETApp* m_pPreviousApp = nullptr;
    CFakeUiServices* m_pUi = nullptr;
};
