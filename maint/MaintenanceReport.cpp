#include "maint/MaintenanceReport.h"

#include <cerrno>

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

// The lines of a text file: each ends at LF, a CR before it is dropped, and a last line
// without its end counts as well.
std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> aLines;
    while (!text.empty()) {
        size_t nEnd = text.find('\n');
        std::string_view line = text.substr(0, nEnd);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        aLines.push_back(line);
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
    }
    return aLines;
}

// The text of a line after its first nSkip bytes, for display.
std::string ValueAfter(std::string_view line, size_t nSkip) {
    return Cp932ToDisplay(line.size() > nSkip ? line.substr(nSkip) : std::string_view());
}

void AppendVersionSection(const std::optional<std::string>& text, std::string& strReport) {
    strReport = "---Ver.---\r\n";
    if (!text) {
        return;
    }
    // Name, main version, sub-version, revision, MAC address: each key with its "=".
    const std::array<std::string_view, 5> aKeys = {"NAME=", "MAINVER=", "SUBVER=", "REV=", "MAC="};
    std::array<std::string, 5> aValues;
    for (std::string_view line : TextLines(*text)) {
        std::string strLine = MakeUpper(line);
        for (size_t nKey = 0; nKey < aKeys.size(); ++nKey) {
            std::string_view key = aKeys[nKey];
            if (strLine.starts_with(key.substr(0, key.size() - 1)) && strLine.size() > key.size()) {
                aValues[nKey] = ValueAfter(strLine, key.size());
                break;
            }
        }
    }
    strReport += aValues[0] + " " + aValues[1] + aValues[2] + aValues[3] + "\r\n";
    if (!aValues[4].empty()) {
        strReport += "MAC " + aValues[4] + "\r\n";
    }
}

struct ValueName {
    std::string_view value;
    const char* pszShown;
};

struct RsioKey {
    std::string_view key;
    const char* pszLabel;
    std::vector<ValueName> aNames;
};

// In the order lines are matched: OUTCHGO2 before OUTCHGO, which it starts with.
enum RsioIndex { BPS, STOPBIT, DOT, CODE, OUTCHGO2, OUTCHGO, SAME, INDOT, OUTFILE, INFILE, DECODE };

const std::array<RsioKey, 11>& RsioKeys() {
    static const std::array<RsioKey, 11> aKeys = {{
        {"BPS",
         "ボーレート：",
         {{"0", "4800"},
          {"1", "9600"},
          {"2", "19200"},
          {"3", "38400"},
          {"-1", "2400"},
          {"-2", "1200"}}},
        {"STOPBIT", "ストップビット：", {{"1", "1bit"}, {"2", "2bit"}}},
        {"DOT", "プログラムファイル拡張子：", {}},
        {"CODE", "出力コード：", {{"0", "ISO"}, {"1", "EIA"}}},
        {"OUTCHGO2", "リモート指示用プログラム番号2：", {}},
        {"OUTCHGO", "リモート指示用プログラム番号1：", {}},
        {"SAME",
         "初期状態の入出力ファイル：",
         {{"0", "OFF（同じにしない）"}, {"1", "ON（同じにする）"}}},
        {"INDOT", "拡張子の自動追加：", {{"0", "ON（追加する）"}, {"1", "OFF（追加しない）"}}},
        {"OUTFILE", "出力ファイル名：", {}},
        {"INFILE", "入力ファイル名：", {}},
        {"DECODE", "入力コード：", {{"-1", "自動"}, {"0", "ISO"}, {"1", "EIA"}}},
    }};
    return aKeys;
}

// The line of a setting: its label, and the value's name (or the value) when there is one.
std::string RsioLine(const RsioKey& key, std::string_view value) {
    std::string strLine = key.pszLabel;
    if (value.empty()) {
        return strLine;
    }
    for (const ValueName& name : key.aNames) {
        if (name.value == value) {
            return strLine + name.pszShown;
        }
    }
    return strLine + Cp932ToDisplay(value);
}

void AppendRsioSection(const std::optional<std::string>& text, std::string& strReport) {
    strReport += "\r\n---ＲＳ通信設定---\r\n";
    if (!text) {
        return;
    }
    std::array<std::optional<std::string>, 11> aLines;
    std::string strSame;
    std::string strIndot;
    for (std::string_view line : TextLines(*text)) {
        std::string strLine = MakeUpper(line);
        for (size_t nKey = 0; nKey < RsioKeys().size(); ++nKey) {
            const RsioKey& key = RsioKeys()[nKey];
            if (!strLine.starts_with(key.key)) {
                continue;
            }
            // The value follows the key and its "=".
            std::string strValue =
                strLine.size() > key.key.size() + 1 ? strLine.substr(key.key.size() + 1) : "";
            aLines[nKey] = RsioLine(key, strValue);
            if (nKey == SAME) {
                strSame = strValue;
            } else if (nKey == INDOT) {
                strIndot = strValue;
            }
            break;
        }
    }
    // An input file the same as the output file, or an extension the unit does not add, is
    // not in force: those lines show their label alone.
    if (strSame == "1" && aLines[INFILE]) {
        aLines[INFILE] = RsioKeys()[INFILE].pszLabel;
    }
    if (strIndot == "1" && aLines[DOT]) {
        aLines[DOT] = RsioKeys()[DOT].pszLabel;
    }
    bool bAnyLine = false;
    for (RsioIndex nKey :
         {BPS, STOPBIT, CODE, DECODE, OUTCHGO, OUTCHGO2, INDOT, DOT, SAME, OUTFILE, INFILE}) {
        if (aLines[nKey]) {
            strReport += *aLines[nKey] + "\r\n";
            bAnyLine = true;
        }
    }
    if (!bAnyLine) {
        strReport += "\r\n";
    }
}

void AppendNetworkSection(const std::optional<std::string>& text, std::string& strReport) {
    strReport += "\r\n---ﾈｯﾄﾜｰｸ設定---\r\n";
    if (!text) {
        return;
    }
    for (std::string_view line : TextLines(*text)) {
        strReport += Cp932ToDisplay(line) + "\r\n";
    }
}

void AppendRequestSection(const std::optional<std::string>& text, std::string& strReport) {
    if (!text) {
        return;
    }
    struct RequestKey {
        std::string_view key;
        const char* pszHeading;
        const char* pszDevice;
        const char* pszPresence;
    };
    static const RequestKey aKeys[] = {
        {"BNUMEX", "---番号指定---", "バーコードリーダ", "有"},
        {"BNUMNE", "---番号指定---", "バーコードリーダ", "無"},
        {"BNAMEX", "---ファイル名指定---", "バーコードリーダ", "有"},
        {"BNAMNE", "---ファイル名指定---", "バーコードリーダ", "無"},
        {"NNUMEX", "---番号指定---", "NC", "有"},
        {"NNUMNE", "---番号指定---", "NC", "無"},
        {"NNAMEX", "---ファイル名指定---", "NC", "有"},
        {"NNAMNE", "---ファイル名指定---", "NC", "無"},
    };
    for (std::string_view line : TextLines(*text)) {
        std::string strLine = MakeUpper(line);
        if (strLine.size() < 8) {
            continue;
        }
        for (const RequestKey& key : aKeys) {
            if (strLine.starts_with(key.key)) {
                strReport += std::string("\r\n") + key.pszHeading + "\r\n" + key.pszDevice +
                             "\r\n" + key.pszPresence + "\r\n" + ValueAfter(strLine, 7) + "\r\n";
                break;
            }
        }
    }
}

}  // namespace

MaintenanceFiles ReadMaintenanceFiles(const std::string& strFolder) {
    MaintenanceFiles files;
    auto read = [&strFolder, &files](const char* pszName) {
        std::optional<std::string> bytes =
            ReadWholeFile(strFolder + pszName, kMaxMaintenanceFileBytes);
        if (!bytes && errno == EOVERFLOW) {
            files.aDamaged.push_back(pszName);
        }
        return bytes;
    };
    files.strInfo = read(kMaintenanceFileNames[0]);
    files.strRsio = read(kMaintenanceFileNames[1]);
    files.strInterfaces = read(kMaintenanceFileNames[2]);
    files.strRequest = read(kMaintenanceFileNames[3]);
    return files;
}

std::string BuildMaintenanceReport(const MaintenanceFiles& files) {
    std::string strReport;
    AppendVersionSection(files.strInfo, strReport);
    AppendRsioSection(files.strRsio, strReport);
    AppendNetworkSection(files.strInterfaces, strReport);
    AppendRequestSection(files.strRequest, strReport);
    // Said at the end, so that the sections read as they do for a file that is missing.
    for (const std::string& strName : files.aDamaged) {
        strReport += "\r\n" + strName + "：ファイルが壊れています（大きすぎます）。\r\n";
    }
    return strReport;
}
