// Opening the file operations dialog on a store root of many named programs against a large
// catalogue, next to what any opening must do at least: list the same folder and fetch and load
// the same catalogue. Arguments: transport (0 = USB memory folder, 1 = the unit simulator over
// FTP) and the number of program files; the catalogue holds 9,999 of them.
#include <benchmark/benchmark.h>
#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/RZKSETApp.h"
#include "numlist/FSousaDlg.h"
#include "numlist/NamedProgram.h"
#include "platform/Text.h"
#include "tests/fakes/TestServers.h"
#include "unitstore/StoreAction.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCatalogueEntries = 9999;

// A store root with nFiles programs "P%05d.NC" and a catalogue of the first 9,999, once per
// size; the unit simulator serves it for the network transport.
struct BenchStore {
    CTestFolder folder;
    std::unique_ptr<CUnitSimulator> pUnit;

    explicit BenchStore(int nFiles) {
        fs::path pub = fs::path(folder.Path()) / "pub";
        fs::create_directories(pub);
        WriteBytes((pub / "PVN_RZK70").string(), "");
        CFileNo catalogue;
        for (int nFile = 0; nFile < nFiles; ++nFile) {
            std::string strName = Format("P%05d", nFile);
            WriteBytes((pub / (strName + ".NC")).string(), "%\r\nO0001\r\n%\r\n");
            if (nFile < kCatalogueEntries) {
                catalogue.m_aData.push_back({1, strName, "REMARK"});
            }
        }
        catalogue.Save((pub / kNamedListFileName).string());
        pUnit = std::make_unique<CUnitSimulator>(folder.Path(), std::vector<std::string>{});
    }
};

BenchStore& Store(int nFiles) {
    static std::map<int, std::unique_ptr<BenchStore>> aStores;
    auto& pStore = aStores[nFiles];
    if (!pStore) {
        pStore = std::make_unique<BenchStore>(nFiles);
    }
    return *pStore;
}

CRZKSETApp& UseStore(benchmark::State& state) {
    BenchStore& store = Store(static_cast<int>(state.range(1)));
    CRZKSETApp& app = GetApp();
    app.Sousa = static_cast<int>(state.range(0));
    app.UsbDrive = store.folder.Path() + "pub/";
    app.FtpPort = store.pUnit->Port();
    app.SetData.ADD_DOT = true;
    app.SetData.DOT = "NC";
    return app;
}

// The least any opening does: list the root and fetch and load the catalogue.
void BM_ListingAndCatalogue(benchmark::State& state) {
    CRZKSETApp& app = UseStore(state);
    std::string strLocal = app.ExeDir + kNamedListFileName;
    for (auto _ : state) {
        CStoreAction action(app.StoreSettings(), "");
        std::string strCatalogue = app.UsbDrive + kNamedListFileName;
        if (app.Sousa == 1) {
            action.Store().GetFile(kNamedListFileName, strLocal);
            strCatalogue = strLocal;
        }
        auto found = action.Store().FindFiles("*.NC");
        action.Close();
        CFileNo catalogue;
        catalogue.Load(strCatalogue);
        benchmark::DoNotOptimize(found);
        if (!found || found->size() != static_cast<size_t>(state.range(1)) ||
            catalogue.m_aData.size() != kCatalogueEntries) {
            state.SkipWithError("the store was not listed or the catalogue not loaded");
        }
    }
}

void BM_OpenFileOperations(benchmark::State& state) {
    UseStore(state);
    for (auto _ : state) {
        CFSousaDlg dialog;
        if (!dialog.OnInitDialog() || dialog.m_nCount != kCatalogueEntries ||
            dialog.m_aUnregistered.size() !=
                static_cast<size_t>(state.range(1) - kCatalogueEntries)) {
            state.SkipWithError("the dialog did not open as expected");
        }
    }
}

void Sizes(benchmark::internal::Benchmark* pBenchmark) {
    for (int nTransport : {0, 1}) {
        for (int nFiles : {20000, 40000}) {
            pBenchmark->Args({nTransport, nFiles});
        }
    }
    pBenchmark->ArgNames({"network", "files"})
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0)
        ->UseRealTime();
}

BENCHMARK(BM_ListingAndCatalogue)->Apply(Sizes);
BENCHMARK(BM_OpenFileOperations)->Apply(Sizes);

}  // namespace

// The dialog runs as in the program, on Qt's offscreen platform with the real busy dialog and
// message pump; the program folder is a temporary one.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    CRZKSETApp::InitUserInterface();
    CTestFolder exeDir;
    CRZKSETApp app;
    SetCurrentApp(&app);
    app.ExeDir = exeDir.Path();
    app.SetData.IP1 = 127;
    app.SetData.IP2 = 0;
    app.SetData.IP3 = 0;
    app.SetData.IP4 = 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentApp(nullptr);
    return 0;
}
