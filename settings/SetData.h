#pragma once

#include <string>

// The unit's configuration files on the USB memory, which CSetData::WriteUnitConfig writes.
constexpr const char* kUnitConfigFolder = "rzksys/";
constexpr const char* kUnitRsioName = "PVNRSIO.INI";
constexpr const char* kUnitInterfacesName = "interfaces";

// One machine profile: everything the program knows about one unit. Strings are code page 932
// bytes as they stand in the profile file.
class CSetData {
public:
    CSetData();
    virtual ~CSetData() = default;
    CSetData(const CSetData&) = default;
    CSetData& operator=(const CSetData&) = default;

    void ResetDefaults();
    // 0 on success; -1 file not readable or no end marker, -2 end marker before the start
    // marker, -3 a second start marker. Fields read before a failure keep their new values.
    int LoadProfile(const std::string& strPath);
    // Writes the whole profile; false when any part of the write fails (the old file stays).
    bool SaveProfile(const std::string& strPath) const;

    // "%d.%d.%d.%d" of IP1..IP4.
    std::string IpAddress() const;

    // The unit's own configuration files from this profile: "PVNRSIO.INI" (RS-232C, file
    // names) and "interfaces" (address, netmask) in the folder rzksys of the USB memory at
    // strRoot (ending in "/"); the folder images is made beside it for the unit's maintenance
    // files. Each file is replaced whole or not at all; false when either could not be
    // written ("PVNRSIO.INI" may then be new while "interfaces" is old).
    bool WriteUnitConfig(const std::string& strRoot) const;
    // unitInDot from the INDOT line of the unit's "PVNRSIO.INI", when there is one.
    void ReadUnitInDot(const std::string& strRoot);
    // The bytes of the two files, as WriteUnitConfig writes them.
    std::string UnitRsioText() const;
    std::string UnitInterfacesText() const;

    unsigned char IP1, IP2, IP3, IP4;
    unsigned char MASK1, MASK2, MASK3, MASK4;
    int BPS;
    int REMOTE_NO;
    int REMOTE_NO2;
    int OUT_CODE;
    int STOPBIT;
    std::string DOT;
    bool SAME;
    bool ADD_DOT;
    std::string OUT_FILE_NAME;
    std::string IN_FILE_NAME;
    bool AUTO_IN_CODE;
    int IN_CODE;
    int INDEX;
    bool unitInDot;
};
