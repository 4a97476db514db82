#include "platform/MountInfo.h"

#include <charconv>

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> aFields;
    size_t nStart = 0;
    while (nStart < line.size()) {
        size_t nEnd = line.find(' ', nStart);
        if (nEnd == std::string_view::npos) {
            nEnd = line.size();
        }
        if (nEnd > nStart) {
            aFields.push_back(line.substr(nStart, nEnd - nStart));
        }
        nStart = nEnd + 1;
    }
    return aFields;
}

bool IsOctalDigit(char character) {
    return character >= '0' && character <= '7';
}

// Undoes the kernel's octal escapes of the characters that would break the line apart.
std::string Unescape(std::string_view field) {
    std::string strText;
    strText.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            strText += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                         (field[i + 3] - '0'));
            i += 3;
        } else {
            strText += field[i];
        }
    }
    return strText;
}

bool ParseNumber(std::string_view text, unsigned int& nValue) {
    auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nValue);
    return error == std::errc() && pEnd == text.data() + text.size();
}

bool ParseDeviceNumber(std::string_view field, MountEntry& entry) {
    size_t nColon = field.find(':');
    return nColon != std::string_view::npos && ParseNumber(field.substr(0, nColon), entry.nMajor) &&
           ParseNumber(field.substr(nColon + 1), entry.nMinor);
}

// "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue": six
// fixed fields, optional fields up to "-", then type, source and the super block options.
bool ParseLine(std::string_view line, MountEntry& entry) {
    std::vector<std::string_view> aFields = SplitFields(line);
    size_t nSeparator = 6;
    while (nSeparator < aFields.size() && aFields[nSeparator] != "-") {
        ++nSeparator;
    }
    if (nSeparator + 2 >= aFields.size() || !ParseDeviceNumber(aFields[2], entry)) {
        return false;
    }
    entry.strFolderInFileSystem = Unescape(aFields[3]);
    entry.strMountPoint = Unescape(aFields[4]);
    entry.strType = std::string(aFields[nSeparator + 1]);
    entry.strSource = Unescape(aFields[nSeparator + 2]);
    return true;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> aEntries;
    size_t nStart = 0;
    while (nStart < text.size()) {
        size_t nEnd = text.find('\n', nStart);
        if (nEnd == std::string_view::npos) {
            nEnd = text.size();
        }
        MountEntry entry;
        if (ParseLine(text.substr(nStart, nEnd - nStart), entry)) {
            aEntries.push_back(std::move(entry));
        }
        nStart = nEnd + 1;
    }
    return aEntries;
}

std::string RootOfMountPoint(const std::string& strMountPoint) {
    if (!strMountPoint.empty() && strMountPoint.back() == '/') {
        return strMountPoint;
    }
    return strMountPoint + "/";
}
