#include "journal/JournalRecord.h"

#include <simdjson.h>

#include <array>
#include <ctime>
#include <utility>
#include <vector>

#include "platform/Text.h"

namespace {

// A text of the record and where the exact bytes of its "<key>_bytes" go: the text itself, or
// for the unit's name (shown converted from code page 932) the bytes kept beside it.
struct StringField {
    std::string_view key;  // a view: a key read from a line is compared by its length first
    std::string JournalRecord::*member;
    std::string JournalRecord::*bytesMember;
};

constexpr std::string_view kBytesSuffix = "_bytes";

constexpr std::array<StringField, 14> kStringFields = {{
    {"time", &JournalRecord::strTime, &JournalRecord::strTime},
    {"profile", &JournalRecord::strProfile, &JournalRecord::strProfile},
    {"transport", &JournalRecord::strTransport, &JournalRecord::strTransport},
    {"address", &JournalRecord::strAddress, &JournalRecord::strAddress},
    {"operation", &JournalRecord::strOperation, &JournalRecord::strOperation},
    {"direction", &JournalRecord::strDirection, &JournalRecord::strDirection},
    {"pc_path", &JournalRecord::strPcPath, &JournalRecord::strPcPath},
    {"unit_name", &JournalRecord::strUnitName, &JournalRecord::strUnitNameBytes},
    {"sha256", &JournalRecord::strSha256, &JournalRecord::strSha256},
    {"outcome", &JournalRecord::strOutcome, &JournalRecord::strOutcome},
    {"message", &JournalRecord::strMessage, &JournalRecord::strMessage},
    {"kept", &JournalRecord::strKept, &JournalRecord::strKept},
    {"sources", &JournalRecord::strSources, &JournalRecord::strSources},
    {"list", &JournalRecord::strList, &JournalRecord::strList},
}};

// Printable ASCII but "%" stands as it is, every other byte as "%XX": a name stays readable
// where it is ASCII, and any bytes at all come back exactly.
std::string PercentEscaped(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string strEscaped;
    for (char c : bytes) {
        auto nByte = static_cast<unsigned char>(c);
        if (nByte > 0x20 && nByte < 0x7F && c != '%') {
            strEscaped += c;
        } else {
            strEscaped += '%';
            strEscaped += kDigits[nByte >> 4];
            strEscaped += kDigits[nByte & 0xF];
        }
    }
    return strEscaped;
}

int HexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : -1;
}

// nullopt for a "%" without two hexadecimal digits after it.
std::optional<std::string> PercentUnescaped(std::string_view text) {
    std::string strBytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            strBytes += text[i];
            continue;
        }
        int nHigh = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        int nLow = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (nHigh < 0 || nLow < 0) {
            return std::nullopt;
        }
        strBytes += static_cast<char>(nHigh * 16 + nLow);
        i += 2;
    }
    return strBytes;
}

// The exact bytes of a text whose key ends in "_bytes"; nullptr for no such key.
const StringField* BytesFieldOf(std::string_view key) {
    if (!key.ends_with(kBytesSuffix)) {
        return nullptr;
    }
    key.remove_suffix(kBytesSuffix.size());
    for (const StringField& field : kStringFields) {
        if (key == field.key) {
            return &field;
        }
    }
    return nullptr;
}

// A known key with a value of another kind (a size that is no integer of 64 bits, a text that
// is a number, exact bytes that are not escaped as written) makes the line no record; keys of
// other writers are passed over. The exact bytes win over the text shown, in either order.
bool TakeField(JournalRecord& record, std::string_view key, simdjson::dom::element value,
               std::vector<std::pair<std::string JournalRecord::*, std::string>>& aExact) {
    if (key == "size") {
        return value.get_int64().get(record.nSize) == simdjson::SUCCESS;
    }
    const StringField* pBytesField = BytesFieldOf(key);
    std::string_view text;
    for (const StringField& field : kStringFields) {
        if (key != field.key && pBytesField != &field) {
            continue;
        }
        if (value.get_string().get(text) != simdjson::SUCCESS) {
            return false;
        }
        if (pBytesField == nullptr) {
            record.*field.member = text;
            return true;
        }
        std::optional<std::string> bytes = PercentUnescaped(text);
        if (bytes) {
            aExact.emplace_back(field.bytesMember, std::move(*bytes));
        }
        return bytes.has_value();
    }
    return true;
}

}  // namespace

// A text whose bytes are not UTF-8 (a PC path may hold any bytes but "/" and NUL) would make
// the line no JSON: it is written for display under its key and exactly under "<key>_bytes".
std::string JournalRecord::ToJsonLine() const {
    std::string strLine = "{";
    for (const StringField& field : kStringFields) {
        if (strLine.size() > 1) {
            strLine += ',';
        }
        const std::string& strValue = this->*field.member;
        bool bUtf8 = IsUtf8(strValue);
        AppendJsonQuoted(strLine, field.key);
        strLine += ':';
        AppendJsonQuoted(strLine, bUtf8 ? strValue : NameToDisplay(strValue));
        const std::string& strExact = this->*field.bytesMember;
        if (field.bytesMember == field.member ? !bUtf8 : !strExact.empty()) {
            strLine += ",\"";
            strLine += field.key;
            strLine += kBytesSuffix;
            strLine += "\":";
            AppendJsonQuoted(strLine, PercentEscaped(strExact));
        }
        if (field.member == &JournalRecord::strUnitName) {
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
    std::vector<std::pair<std::string JournalRecord::*, std::string>> aExact;
    for (const simdjson::dom::key_value_pair field : object) {
        if (!TakeField(record, field.key, field.value, aExact)) {
            return std::nullopt;
        }
    }
    for (auto& [member, strBytes] : aExact) {
        record.*member = std::move(strBytes);
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
