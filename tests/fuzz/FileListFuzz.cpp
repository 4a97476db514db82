#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "numlist/FileNo.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ScratchFolder.h"

namespace {

// Saves the list, loads it back and requires the same title and the same entries, byte for byte.
void CheckSavedListLoadsBack(const CScratchFolder& folder, const CFileNo& list) {
    std::string strSaved = folder.Path() + "Saved.fno";
    Require(list.Save(strSaved), "a list can be saved");
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
}

// A list made from the lines of the input: the title, then a name and a remark for each entry
// (numbered from 1). Any bytes but a line end may stand in them; a list without entries is no
// list file.
CFileNo ListFromLines(std::string_view input) {
    CFileNo list;
    size_t nField = 0;
    while (!input.empty()) {
        size_t nEnd = input.find('\n');
        std::string_view line = input.substr(0, nEnd);
        input.remove_prefix(nEnd == std::string_view::npos ? input.size() : nEnd + 1);
        if (nField == 0) {
            list.m_strTitle = line;
        } else if (nField % 2 == 1) {
            list.m_aData.push_back(
                {static_cast<int>(list.m_aData.size()) + 1, std::string(line), ""});
        } else {
            list.m_aData.back().strEct = line;
        }
        ++nField;
    }
    return list;
}

}  // namespace

// The list file loader takes any bytes, and what it loads is saved and loads back the same.
// The input's lines taken as the title, names and remarks of a list also save and load back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const CScratchFolder folder;
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);

    CFileNo list;
    if (list.Load(folder.Write("FileList.fno", input)) == CFileNo::LOAD_OK) {
        CheckSavedListLoadsBack(folder, list);
    }
    CFileNo made = ListFromLines(input);
    if (!made.m_aData.empty()) {
        CheckSavedListLoadsBack(folder, made);
    }
    return 0;
}
