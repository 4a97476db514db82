#include "journal/UnitFilesIndex.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view kLineBreaks = "\t\r\n";

// A size as WriteUnitFiles writes it; nullopt for anything else, so that a damaged line is
// dropped rather than taken for a file of another size.
std::optional<int64_t> SizeField(std::string_view field) {
    int64_t nSize = 0;
    auto [pStop, error] = std::from_chars(field.data(), field.data() + field.size(), nSize);
    if (error != std::errc() || pStop != field.data() + field.size() || nSize < 0) {
        return std::nullopt;
    }
    return nSize;
}

bool IsSha256(std::string_view field) {
    return field.size() == 64 && field.find_first_not_of("0123456789abcdef") == field.npos;
}

bool IsWritable(std::string_view strKey, const UnitFile& file) {
    return !file.strListedTime.empty() && strKey.find_first_of(kLineBreaks) == strKey.npos &&
           file.strListedTime.find_first_of(kLineBreaks) == std::string::npos &&
           file.strExactTime.find_first_of(kLineBreaks) == std::string::npos &&
           IsSha256(file.strSha256) && file.nSize >= 0;
}

std::vector<std::string_view> TabFields(std::string_view line) {
    std::vector<std::string_view> aFields;
    while (true) {
        size_t nTab = line.find('\t');
        aFields.push_back(line.substr(0, nTab));
        if (nTab == std::string_view::npos) {
            return aFields;
        }
        line.remove_prefix(nTab + 1);
    }
}

}  // namespace

UnitFiles ReadUnitFiles(std::string_view text) {
    UnitFiles aFiles;
    while (!text.empty()) {
        size_t nEnd = std::min(text.find('\n'), text.size());
        std::vector<std::string_view> aFields = TabFields(text.substr(0, nEnd));
        text.remove_prefix(std::min(nEnd + 1, text.size()));
        bool bFieldsThere = aFields.size() == 4 || aFields.size() == 5;
        std::optional<int64_t> nSize = bFieldsThere ? SizeField(aFields[1]) : std::nullopt;
        if (!nSize) {
            continue;
        }
        UnitFile file{std::string(aFields[3]), *nSize, std::string(aFields[2]),
                      aFields.size() == 5 ? std::string(aFields[4]) : std::string()};
        if (IsWritable(aFields[0], file)) {
            aFiles.try_emplace(std::string(aFields[0]), std::move(file));
        }
    }
    return aFiles;
}

std::string WriteUnitFiles(const UnitFiles& aFiles) {
    std::string strText;
    for (const auto& [strKey, file] : aFiles) {
        if (IsWritable(strKey, file)) {
            strText += strKey + '\t' + std::to_string(file.nSize) + '\t' + file.strListedTime +
                       '\t' + file.strSha256 + '\t' + file.strExactTime + '\n';
        }
    }
    return strText;
}
