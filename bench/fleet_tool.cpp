// fleet_tool COMMAND ...: the fleet view's work on many units at once, as bench/run.sh times
// it, beside the same work done one unit after another. Prints the seconds the work took
// (start-up left out) as its last word.
//
//   status at-once|one-by-one TIMEOUT PORT HOST...   the status of each unit, as the view asks
//                                                    it; prints the units ready first
//   send at-once|one-by-one PORT FILE HOST...        FILE to "/pub/" of each unit as the send
//                                                    from the view puts it
#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "fleet/UnitStatus.h"
#include "fleet/UnitWorkers.h"
#include "settings/SetData.h"
#include "transfer/SendOperation.h"

namespace {

// Runs work for every unit, on the view's workers or one after another on this thread.
void RunForEach(bool bAtOnce, int nCount, const std::function<void(int)>& work) {
    if (!bAtOnce) {
        for (int nIndex = 0; nIndex < nCount; ++nIndex) {
            work(nIndex);
        }
        return;
    }
    CUnitWorkers workers;
    QEventLoop loop;
    QObject::connect(&workers, &CUnitWorkers::AllDone, &loop, &QEventLoop::quit);
    workers.Start(nCount, work);
    if (workers.IsRunning()) {
        loop.exec();
    }
}

UnitStoreSettings SettingsOf(const std::string& strHost, int nPort, int nTimeoutSeconds) {
    UnitStoreSettings settings;
    settings.nSousa = 1;
    settings.strServer = strHost;
    settings.nPort = nPort;
    settings.nTimeoutSeconds = nTimeoutSeconds;
    return settings;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::vector<std::string> aArguments(argv + 1, argv + argc);
    if (aArguments.size() < 5 || (aArguments[0] != "status" && aArguments[0] != "send")) {
        std::fprintf(stderr, "usage: see the head of bench/fleet_tool.cpp\n");
        return 2;
    }
    const bool bAtOnce = aArguments[1] == "at-once";
    const int nSecondArgument = std::atoi(aArguments[2].c_str());
    const std::vector<std::string> aHosts(aArguments.begin() + 4, aArguments.end());
    const int nUnits = static_cast<int>(aHosts.size());
    const CSetData setData;
    const auto start = std::chrono::steady_clock::now();
    int nGood = 0;
    if (aArguments[0] == "status") {
        const int nPort = std::atoi(aArguments[3].c_str());
        std::vector<UnitStatus> aStatus(aHosts.size());
        RunForEach(bAtOnce, nUnits, [&](int nIndex) {
            const size_t nUnit = static_cast<size_t>(nIndex);
            aStatus[nUnit] =
                ReadUnitStatus(SettingsOf(aHosts[nUnit], nPort, nSecondArgument), setData,
                               "/tmp/fleet_tool-" + std::to_string(nIndex) + "/",
                               [](const std::string&) { return false; });
        });
        for (const UnitStatus& status : aStatus) {
            nGood += status.bReady ? 1 : 0;
        }
    } else {
        const std::vector<std::string> aFiles = {aArguments[3]};
        std::vector<SendReport> aReports(aHosts.size());
        RunForEach(bAtOnce, nUnits, [&](int nIndex) {
            const size_t nUnit = static_cast<size_t>(nIndex);
            aReports[nUnit] = SendPrograms(aFiles, SettingsOf(aHosts[nUnit], nSecondArgument, 30),
                                           CUnitStore::OutputName(setData), "/tmp/");
        });
        for (const SendReport& report : aReports) {
            nGood += report.bOk ? 1 : 0;
        }
        if (nGood != nUnits) {
            std::fprintf(stderr, "fleet_tool: %d of %d sends failed\n", nUnits - nGood, nUnits);
            return 1;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%d %.3f\n", nGood, elapsed.count());
    return 0;
}
