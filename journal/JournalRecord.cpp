#include "journal/JournalRecord.h"

#include <simdjson.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <utility>

namespace {

// The keys as views: a key read from a line is compared by its length first.
using StringField = std::pair<std::string_view, std::string JournalRecord::*>;

constexpr std::array<StringField, 14> kStringFields = {{
    {"time", &JournalRecord::strTime},
    {"profile", &JournalRecord::strProfile},
    {"transport", &JournalRecord::strTransport},
    {"address", &JournalRecord::strAddress},
    {"operation", &JournalRecord::strOperation},
    {"direction", &JournalRecord::strDirection},
    {"pc_path", &JournalRecord::strPcPath},
    {"unit_name", &JournalRecord::strUnitName},
    {"sha256", &JournalRecord::strSha256},
    {"outcome", &JournalRecord::strOutcome},
    {"message", &JournalRecord::strMessage},
    {"kept", &JournalRecord::strKept},
    {"sources", &JournalRecord::strSources},
    {"list", &JournalRecord::strList},
}};

void AppendQuoted(std::string& strOut, std::string_view strText) {
    strOut += '"';
    for (char c : strText) {
        auto nByte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            strOut += '\\';
            strOut += c;
        } else if (c == '\n') {
            strOut += "\\n";
        } else if (c == '\r') {
            strOut += "\\r";
        } else if (c == '\t') {
            strOut += "\\t";
        } else if (nByte < 0x20) {
            char szEscape[8];
            std::snprintf(szEscape, sizeof(szEscape), "\\u%04x", nByte);
            strOut += szEscape;
        } else {
            strOut += c;
        }
    }
    strOut += '"';
}

// A known key with a value of another kind (a size that is no integer of 64 bits, a text that
// is a number) makes the line no record; keys of other writers are passed over.
bool TakeField(JournalRecord& record, std::string_view key, simdjson::dom::element value) {
    if (key == "size") {
        return value.get_int64().get(record.nSize) == simdjson::SUCCESS;
    }
    for (const auto& [fieldKey, member] : kStringFields) {
        if (key == fieldKey) {
            std::string_view text;
            if (value.get_string().get(text) != simdjson::SUCCESS) {
                return false;
            }
            record.*member = text;
            return true;
        }
    }
    return true;
}

}  // namespace

std::string JournalRecord::ToJsonLine() const {
    std::string strLine = "{";
    for (const auto& [key, member] : kStringFields) {
        if (strLine.size() > 1) {
            strLine += ',';
        }
        AppendQuoted(strLine, key);
        strLine += ':';
        AppendQuoted(strLine, this->*member);
        if (member == &JournalRecord::strUnitName) {
            strLine += ",\"size\":" + std::to_string(nSize);
        }
    }
    return strLine + "}";
}

// simdjson checks the whole line (JSON, UTF-8, escapes, numbers) before a value is taken; a
// parser of each thread keeps its buffers from line to line.
std::optional<JournalRecord> JournalRecord::FromJsonLine(std::string_view strLine) {
    thread_local simdjson::dom::parser parser;
    simdjson::dom::object object;
    if (parser.parse(strLine.data(), strLine.size()).get(object) != simdjson::SUCCESS) {
        return std::nullopt;
    }
    JournalRecord record;
    for (const simdjson::dom::key_value_pair field : object) {
        if (!TakeField(record, field.key, field.value)) {
            return std::nullopt;
        }
    }
    return record;
}

std::string JournalTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char szTime[40] = {};
    std::strftime(szTime, sizeof(szTime), "%Y-%m-%dT%H:%M:%S%z", &local);
    return szTime;
}
