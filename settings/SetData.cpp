#include "settings/SetData.h"

#include <functional>
#include <map>
#include <sstream>
#include <string_view>

#include <sys/stat.h>

#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

constexpr std::string_view kSectionStart = "#RZKSet Section Start";
constexpr std::string_view kSectionEnd = "#RZKSet Section End";

bool StartsWith(const std::string& strLine, std::string_view prefix) {
    return strLine.compare(0, prefix.size(), prefix) == 0;
}

void StripLineEnd(std::string& strLine) {
    if (!strLine.empty() && strLine.back() == '\r') {
        strLine.pop_back();
    }
}

// The unit's folders on the memory; one that exists, or cannot be made, shows up later as a
// file that cannot be written or read.
void MakeUnitFolders(const std::string& strRoot) {
    mkdir((strRoot + "images").c_str(), 0777);
    mkdir((strRoot + "rzksys").c_str(), 0777);
}

bool WriteWholeFileAtomically(const std::string& strPath, const std::string& bytes) {
    CAtomicFile file(strPath);
    if (!file.Open()) {
        return false;
    }
    file.Write(bytes);
    return file.Commit();
}

}  // namespace

CSetData::CSetData() {
    ResetDefaults();
}

void CSetData::ResetDefaults() {
    IP1 = 192;
    IP2 = 168;
    IP3 = 0;
    IP4 = 102;
    MASK1 = 255;
    MASK2 = 255;
    MASK3 = 255;
    MASK4 = 0;
    BPS = 2;
    REMOTE_NO = 7000;
    REMOTE_NO2 = 7009;
    OUT_CODE = 0;
    STOPBIT = 1;
    DOT = "NC";
    SAME = false;
    ADD_DOT = false;
    OUT_FILE_NAME = "RZKOUT";
    IN_FILE_NAME = "RZKIN";
    AUTO_IN_CODE = true;
    IN_CODE = 0;
    INDEX = 0;
    unitInDot = false;
}

int CSetData::LoadProfile(const std::string& strPath) {
    std::optional<std::string> bytes = ReadWholeFile(strPath);
    if (!bytes) {
        return -1;
    }
    std::istringstream file(std::move(*bytes));
    // What each key of the file does with its value; keys are matched exactly.
    auto octet = [](unsigned char& field) {
        return [&field](const std::string& strValue) {
            field = static_cast<unsigned char>(DecimalValue(strValue) & 0xFF);
        };
    };
    auto integer = [](int& field) {
        return [&field](const std::string& strValue) { field = DecimalValue(strValue); };
    };
    auto boolean = [](bool& field) {
        return [&field](const std::string& strValue) { field = DecimalValue(strValue) != 0; };
    };
    auto text = [](std::string& field) {
        return [&field](const std::string& strValue) { field = strValue; };
    };
    const std::map<std::string, std::function<void(const std::string&)>> keys = {
        {"IP1", octet(IP1)},
        {"IP2", octet(IP2)},
        {"IP3", octet(IP3)},
        {"IP4", octet(IP4)},
        {"MASK1", octet(MASK1)},
        {"MASK2", octet(MASK2)},
        {"MASK3", octet(MASK3)},
        {"MASK4", octet(MASK4)},
        {"BPS", integer(BPS)},
        {"REMOTE_NO", integer(REMOTE_NO)},
        {"REMOTE_NO2", integer(REMOTE_NO2)},
        {"OUT_CODE", integer(OUT_CODE)},
        {"STOPBIT", integer(STOPBIT)},
        {"DOT", text(DOT)},
        {"SAME", boolean(SAME)},
        {"ADD_DOT", boolean(ADD_DOT)},
        {"OUT_FILE_NAME", text(OUT_FILE_NAME)},
        {"IN_FILE_NAME", text(IN_FILE_NAME)},
        {"AUTO_IN_CODE", boolean(AUTO_IN_CODE)},
        {"IN_CODE", integer(IN_CODE)},
        {"INDEX", integer(INDEX)},
    };

    bool bStarted = false;
    std::string strLine;
    while (std::getline(file, strLine)) {
        StripLineEnd(strLine);
        if (StartsWith(strLine, kSectionEnd)) {
            return bStarted ? 0 : -2;
        }
        if (StartsWith(strLine, kSectionStart)) {
            if (bStarted) {
                return -3;
            }
            bStarted = true;
            continue;
        }
        size_t equals = strLine.find('=');
        std::string strKey = equals == std::string::npos ? "" : strLine.substr(0, equals);
        std::string strValue = equals == std::string::npos ? strLine : strLine.substr(equals + 1);
        if (auto found = keys.find(strKey); found != keys.end()) {
            found->second(strValue);
        }
    }
    return -1;
}

bool CSetData::SaveProfile(const std::string& strPath) const {
    CAtomicFile file(strPath);
    if (!file.Open()) {
        return false;
    }
    auto number = [&file](const char* pszKey, int nValue) {
        file.WriteLine(Format("%s=%d", pszKey, nValue));
    };
    auto text = [&file](const char* pszKey, const std::string& strValue) {
        file.WriteLine(std::string(pszKey) + "=" + strValue);
    };
    file.WriteLine(kSectionStart);
    number("INDEX", INDEX);
    number("IP1", IP1);
    number("IP2", IP2);
    number("IP3", IP3);
    number("IP4", IP4);
    number("MASK1", MASK1);
    number("MASK2", MASK2);
    number("MASK3", MASK3);
    number("MASK4", MASK4);
    number("BPS", BPS);
    number("REMOTE_NO", REMOTE_NO);
    number("REMOTE_NO2", REMOTE_NO2);
    number("OUT_CODE", OUT_CODE);
    number("STOPBIT", STOPBIT);
    text("DOT", DOT);
    number("SAME", SAME ? 1 : 0);
    number("ADD_DOT", ADD_DOT ? 1 : 0);
    text("OUT_FILE_NAME", OUT_FILE_NAME);
    text("IN_FILE_NAME", IN_FILE_NAME);
    number("AUTO_IN_CODE", AUTO_IN_CODE ? 1 : 0);
    number("IN_CODE", IN_CODE);
    file.WriteLine(kSectionEnd);
    return file.Commit();
}

std::string CSetData::IpAddress() const {
    return Format("%d.%d.%d.%d", IP1, IP2, IP3, IP4);
}

std::string CSetData::UnitRsioText() const {
    const std::string& strInFile = SAME ? OUT_FILE_NAME : IN_FILE_NAME;
    return Format(
               "BPS=%d\r\nSTOPBIT=%d\r\nDOT=%s\r\nCODE=%d\r\nOUTCHGO=%d\r\nOUTCHGO2=%d\r\nSAME=%"
               "d\r\n"
               "INDOT=%d\r\n",
               BPS - 2, STOPBIT + 1, DOT.c_str(), OUT_CODE, REMOTE_NO, REMOTE_NO2, SAME ? 1 : 0,
               ADD_DOT ? 0 : 1) +
           "OUTFILE=" + OUT_FILE_NAME + "\r\nINFILE=" + strInFile + "\r\n" +
           Format("DECODE=%d\r\n", AUTO_IN_CODE ? -1 : IN_CODE);
}

std::string CSetData::UnitInterfacesText() const {
    return Format(
        "auto lo\r\niface lo inet loopback\r\nauto eth0\r\niface eth0 inet static\r\n"
        "address %d.%d.%d.%d\r\nnetmask %d.%d.%d.%d\r\n",
        IP1, IP2, IP3, IP4, MASK1, MASK2, MASK3, MASK4);
}

bool CSetData::WriteUnitConfig(const std::string& strRoot) const {
    MakeUnitFolders(strRoot);
    std::string strFolder = strRoot + kUnitConfigFolder;
    return WriteWholeFileAtomically(strFolder + kUnitRsioName, UnitRsioText()) &&
           WriteWholeFileAtomically(strFolder + kUnitInterfacesName, UnitInterfacesText());
}

void CSetData::ReadUnitInDot(const std::string& strRoot) {
    MakeUnitFolders(strRoot);
    std::optional<std::string> bytes = ReadWholeFile(strRoot + kUnitConfigFolder + kUnitRsioName);
    if (!bytes) {
        return;
    }
    std::istringstream file(std::move(*bytes));
    bool bStarted = false;
    std::string strLine;
    while (std::getline(file, strLine)) {
        StripLineEnd(strLine);
        if (StartsWith(strLine, kSectionEnd) || (StartsWith(strLine, kSectionStart) && bStarted)) {
            return;
        }
        bStarted = bStarted || StartsWith(strLine, kSectionStart);
        if (StartsWith(strLine, "INDOT=")) {
            unitInDot = DecimalValue(std::string_view(strLine).substr(6)) != 0;
        }
    }
}
