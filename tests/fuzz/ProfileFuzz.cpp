#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "settings/SetData.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ScratchFolder.h"

namespace {

// Every field the profile file carries.
auto SavedFields(const CSetData& data) {
    return std::make_tuple(data.IP1, data.IP2, data.IP3, data.IP4, data.MASK1, data.MASK2,
                           data.MASK3, data.MASK4, data.BPS, data.REMOTE_NO, data.REMOTE_NO2,
                           data.OUT_CODE, data.STOPBIT, data.DOT, data.SAME, data.ADD_DOT,
                           data.OUT_FILE_NAME, data.IN_FILE_NAME, data.AUTO_IN_CODE, data.IN_CODE,
                           data.INDEX);
}

}  // namespace

// The profile loader takes any bytes and answers one of its result codes; a profile that loads
// is saved and loaded again into fresh settings, and every field comes back as it was.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const CScratchFolder folder;
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);

    CSetData profile;
    int nResult = profile.LoadProfile(folder.Write("Profile.dat", input));
    Require(nResult == 0 || nResult == -1 || nResult == -2 || nResult == -3,
            "the loader answers one of its result codes");
    if (nResult != 0) {
        return 0;
    }
    std::string strSaved = folder.Path() + "Saved.dat";
    Require(profile.SaveProfile(strSaved), "a loaded profile can be saved");

    CSetData reloaded;
    Require(reloaded.LoadProfile(strSaved) == 0, "a saved profile loads");
    Require(SavedFields(reloaded) == SavedFields(profile), "every field survives a save");
    return 0;
}
