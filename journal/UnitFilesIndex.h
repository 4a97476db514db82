#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// What the program itself last put under a name of the unit, and the size and time that a
// listing of the same action showed right after ("" until then), with the unit's time to the
// second then ("" where it tells none). While a later listing shows the same, and the unit the
// same time to the second, the file holds those bytes and needs no fetching to be kept.
struct UnitFile {
    std::string strSha256;
    int64_t nSize = 0;
    std::string strListedTime;
    std::string strExactTime;
};

// By the unit, folder and name in upper case (CShopMemory's FileKey).
using UnitFiles = std::map<std::string, UnitFile>;

// "History/UnitFiles.tsv", kept across sessions: one line a file, key, size, listed time,
// SHA-256 and the time to the second between tabs (lines of an older program end after the
// SHA-256). Only files whose listing was seen are written; a key or time holding a
// tab or a line end cannot be, and is not. A line that is not whole as written (a damaged or
// cut file) is left out when read, so that what is read writes back and reads the same.
UnitFiles ReadUnitFiles(std::string_view text);
std::string WriteUnitFiles(const UnitFiles& aFiles);
