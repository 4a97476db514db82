#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One line of the journal: one program moved, replaced or deleted. Texts are UTF-8 (unit
// names converted from code page 932), but for the bytes of PC paths, which are the file
// system's and may be anything. On disk a line is one JSON object (JSON Lines), so that
// standard tools read the journal; the keys are the names in the comments. A text that is not
// UTF-8 is written for display under its key (as code page 932 when it is that, else with
// U+FFFD) and exactly under "<key>_bytes", each byte outside printable ASCII, and "%", as
// "%XX"; reading it back gives the exact bytes.
struct JournalRecord {
    std::string strTime;       // "time": local time with its zone, "2026-12-11T09:15:02+0900"
    std::string strProfile;    // "profile": the machine profile the operation ran with
    std::string strTransport;  // "transport": "usb", "ftp" or "pc"
    std::string strAddress;    // "address": the unit's address or the USB memory's root
    std::string strOperation;  // "operation": caption of the command, outer one first
    std::string strDirection;  // "direction": one of the kDirection texts below
    std::string strPcPath;     // "pc_path"
    std::string strUnitName;   // "unit_name": folder and name in the store, "RzFilesOut/0001"
    // "unit_name_bytes": the store's code page 932 bytes of the name when they are not valid
    // code page 932, so that strUnitName could not hold them; empty otherwise.
    std::string strUnitNameBytes;
    int64_t nSize = 0;       // "size": bytes that went over or were removed
    std::string strSha256;   // "sha256": of those bytes; empty when none went over
    std::string strOutcome;  // "outcome": one of the kOutcome texts below
    std::string strMessage;  // "message": why it failed or was refused
    std::string strKept;     // "kept": SHA-256 of the old bytes the history store keeps
    std::string strSources;  // "sources": the files merged into what was sent, "; " between
    std::string strList;     // "list": SHA-256 of the kept list that named a deleted program

    static constexpr const char* kDirectionToUnit = "to_unit";
    static constexpr const char* kDirectionToPc = "to_pc";
    static constexpr const char* kDirectionDeleteOnUnit = "delete_on_unit";
    static constexpr const char* kDirectionOnPc = "on_pc";

    static constexpr const char* kOutcomeDone = "done";
    static constexpr const char* kOutcomeFailed = "failed";
    static constexpr const char* kOutcomeRefused = "refused";
    // The operator stopped the work ("中止") before this file was done.
    static constexpr const char* kOutcomeStopped = "stopped";

    // The line without its line feed.
    std::string ToJsonLine() const;
    // nullopt for a line that is no such object (a line cut by a crash of an older writer).
    static std::optional<JournalRecord> FromJsonLine(std::string_view strLine);
};

// The current local time in the journal's form.
std::string JournalTimeNow();
