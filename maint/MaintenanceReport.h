#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The unit's maintenance files in the folder "images" of its store, in the order the report
// reads them: identity, RS-232C settings, network settings, number and name requests.
inline constexpr const char* kMaintenanceFileNames[] = {"INFO.INI", "PVNRSIO.INI", "interfaces",
                                                        "RZK70.REQ"};

// The unit writes each maintenance file in a few hundred bytes; one larger than this is
// damaged: its section stays empty and the report ends saying so.
inline constexpr size_t kMaxMaintenanceFileBytes = 1024 * 1024;

// The bytes (code page 932) of the four files; nullopt for a file that could not be read.
struct MaintenanceFiles {
    std::optional<std::string> strInfo;
    std::optional<std::string> strRsio;
    std::optional<std::string> strInterfaces;
    std::optional<std::string> strRequest;
    // The names of the files left out for being larger than kMaxMaintenanceFileBytes.
    std::vector<std::string> aDamaged;
};

// The four files of a folder (a path ending in "/").
MaintenanceFiles ReadMaintenanceFiles(const std::string& strFolder);

// The maintenance report shown to the operator, UTF-8 with CR LF line ends. Lines of INFO.INI,
// PVNRSIO.INI and RZK70.REQ are taken in capitals, so their keys match in any case; the lines
// of "interfaces" are shown as they are. A file that is missing leaves its section with only
// its header; a damaged one also adds a closing line naming it. Never fails, whatever the bytes.
std::string BuildMaintenanceReport(const MaintenanceFiles& files);
