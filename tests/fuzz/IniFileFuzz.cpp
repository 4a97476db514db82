#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ScratchFolder.h"

namespace {

// Section and key names as the program uses them: letters, digits and "_" stand for
// themselves, any other byte for a double-byte character ("号" or "機").
std::string NameFrom(std::string_view bytes) {
    std::string strName;
    for (char byte : bytes) {
        bool bPlain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                      (byte >= '0' && byte <= '9') || byte == '_';
        strName += bPlain ? std::string(1, byte) : byte % 2 == 0 ? "\x8D\x86" : "\x8B\x40";
    }
    return strName.empty() ? "A" : strName;
}

// A value that reads back as written: no blanks or quotes around it.
bool IsPlainValue(std::string_view value) {
    auto bIsEdge = [](char character) {
        return character == ' ' || character == '\t' || character == '\v' || character == '"' ||
               character == '\'';
    };
    return value.empty() || (!bIsEdge(value.front()) && !bIsEdge(value.back()));
}

bool SameName(const std::string& strLeft, const std::string& strRight) {
    return MakeUpper(strLeft) == MakeUpper(strRight);
}

}  // namespace

// Input: four lines (section, key, other section, other key: their bytes pick the characters
// of names), a value line, then the file. Reading and writing the file back keeps every byte;
// a value written is read back, also after a save, and a different key keeps its value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const CScratchFolder folder;
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    std::string_view fields[5];
    for (std::string_view& field : fields) {
        size_t nEnd = input.find('\n');
        if (nEnd == std::string_view::npos) {
            return 0;
        }
        field = input.substr(0, nEnd);
        input.remove_prefix(nEnd + 1);
    }
    std::string strSection = NameFrom(fields[0]);
    std::string strKey = NameFrom(fields[1]);
    std::string strOtherSection = NameFrom(fields[2]);
    std::string strOtherKey = NameFrom(fields[3]);
    // A value is one line: callers never write a line end into it.
    std::string strValue;
    for (char character : fields[4]) {
        if (character != '\r') {
            strValue += character;
        }
    }

    CIniFile ini(folder.Write("RZKSET.ini", input));
    ini.Load();
    Require(ini.Save(), "a loaded file can be saved");
    Require(folder.Read("RZKSET.ini") == std::string(input), "load and save keep every byte");

    std::string strOtherBefore = ini.GetString(strOtherSection, strOtherKey, "(none)");
    ini.SetString(strSection, strKey, strValue);
    if (IsPlainValue(strValue)) {
        Require(ini.GetString(strSection, strKey, "(none)") == strValue, "a value reads back");
    }
    bool bSameKey = SameName(strSection, strOtherSection) && SameName(strKey, strOtherKey);
    if (!bSameKey) {
        Require(ini.GetString(strOtherSection, strOtherKey, "(none)") == strOtherBefore,
                "writing one key leaves another alone");
    }

    Require(ini.Save(), "a changed file can be saved");
    CIniFile reloaded(ini.Path());
    reloaded.Load();
    Require(reloaded.GetString(strSection, strKey, "(none)") ==
                ini.GetString(strSection, strKey, "(none)"),
            "a written value survives a save");
    Require(reloaded.GetString(strOtherSection, strOtherKey, "(none)") ==
                ini.GetString(strOtherSection, strOtherKey, "(none)"),
            "another value survives a save");
    return 0;
}
