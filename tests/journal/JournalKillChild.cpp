// Moves programs to and from a store on a folder, with the journal and the history on, until
// it is killed: the journal kill test runs it and kills it in the middle.
#include <cstdio>
#include <string>

#include "journal/ShopMemory.h"
#include "platform/AtomicFile.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: journal_kill_child DATA_FOLDER/ STORE_FOLDER/\n");
        return 2;
    }
    std::string strData = argv[1];
    CShopMemory memory(strData, CShopMemory::Settings{}, CShopMemory::Hooks{});
    CShopMemory::SetCurrent(&memory);
    UnitStoreSettings settings;
    settings.strUsbDrive = argv[2];
    CUnitStore store(settings);
    if (!store.Connect() || !store.SetFolder("/pub/")) {
        return 1;
    }
    std::string strLocal = strData + "program.nc";
    for (unsigned nRound = 0;; ++nRound) {
        // Programs of some hundred kilobytes, so that a kill often falls inside a write.
        std::string strProgram = "%\r\nO" + std::to_string(nRound % 10000) + "\r\n";
        strProgram += std::string(100000 + nRound % 50000, static_cast<char>('A' + nRound % 26));
        CAtomicFile file(strLocal, false);
        if (!file.Open()) {
            return 1;
        }
        file.Write(strProgram);
        if (!file.Commit()) {
            return 1;
        }
        std::string strName = "P" + std::to_string(nRound % 7);
        store.PutFile(strLocal, strName);
        if (nRound % 3 == 0) {
            store.Remove(strName);
        }
    }
}
