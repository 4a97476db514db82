#include <cstddef>
#include <cstdint>
#include <string_view>

#include "numlist/FileNo.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ScratchFolder.h"

// The list file loader takes any bytes; a list that loads is saved and loaded again, and must
// come back with the same title and the same entries, byte for byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const CScratchFolder folder;
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);

    CFileNo list;
    if (list.Load(folder.Write("FileList.fno", input)) != CFileNo::LOAD_OK) {
        return 0;
    }
    std::string strSaved = folder.Path() + "Saved.fno";
    Require(list.Save(strSaved), "a loaded list can be saved");

    CFileNo reloaded;
    Require(reloaded.Load(strSaved) == CFileNo::LOAD_OK, "a saved list loads");
    Require(reloaded.m_strTitle == list.m_strTitle, "the title survives a save");
    Require(reloaded.m_aData.size() == list.m_aData.size(), "every entry survives a save");
    for (size_t nIndex = 0; nIndex < list.m_aData.size(); ++nIndex) {
        const FILENODATA& before = list.m_aData[nIndex];
        const FILENODATA& after = reloaded.m_aData[nIndex];
        Require(after.nNo == before.nNo, "an entry's number survives a save");
        Require(after.strName == before.strName, "an entry's name survives a save");
        Require(after.strEct == before.strEct, "an entry's remark survives a save");
    }
    return 0;
}
