#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "maint/MaintenanceReport.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The input's first byte says which of the four files exist (one bit each); the rest holds
// their bytes in order, parted by "||".
MaintenanceFiles FilesOf(std::string_view input) {
    MaintenanceFiles files;
    unsigned nPresent = input.empty() ? 0 : static_cast<unsigned char>(input.front());
    input.remove_prefix(input.empty() ? 0 : 1);
    std::optional<std::string>* aFiles[] = {&files.strInfo, &files.strRsio, &files.strInterfaces,
                                            &files.strRequest};
    for (size_t nFile = 0; nFile < 4; ++nFile) {
        size_t nEnd = input.find("||");
        std::string_view part = input.substr(0, nEnd);
        input.remove_prefix(nEnd == std::string_view::npos ? input.size() : nEnd + 2);
        if ((nPresent >> nFile) & 1U) {
            *aFiles[nFile] = std::string(part);
        }
    }
    return files;
}

// The network section as the report must show it: the header, then every line of
// "interfaces" as it stands, each ended by CR LF.
std::string NetworkSection(const std::string& strInterfaces) {
    std::string strSection = "\r\n---ﾈｯﾄﾜｰｸ設定---\r\n";
    std::string_view text = strInterfaces;
    while (!text.empty()) {
        size_t nEnd = text.find('\n');
        std::string_view line = text.substr(0, nEnd);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        strSection += Cp932ToDisplay(line) + "\r\n";
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
    }
    return strSection;
}

}  // namespace

// Any bytes make a report: it starts with the version header, its text is valid UTF-8 (no
// double-byte character broken by the capitals), and "interfaces" stands in it unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    MaintenanceFiles files = FilesOf(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    std::string strReport = BuildMaintenanceReport(files);
    Require(strReport.starts_with("---Ver.---\r\n"), "the report starts with its version header");
    Require(IsValidUtf8(strReport), "the report is valid UTF-8");
    std::string strNetwork = NetworkSection(files.strInterfaces.value_or(""));
    Require(strReport.find(strNetwork) != std::string::npos,
            "the network section shows interfaces as it stands");
    return 0;
}
