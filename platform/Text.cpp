#include "platform/Text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>

namespace {

// One conversion through iconv; nullopt on an invalid or unmappable sequence.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input) {
    iconv_t conversion = iconv_open(to, from);
    if (conversion == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string output(input.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    bool bOk = true;
    while (inLeft > 0) {
        if (iconv(conversion, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            bOk = false;
            break;
        }
    }
    iconv_close(conversion);
    if (!bOk) {
        return std::nullopt;
    }
    output.resize(output.size() - outLeft);
    return output;
}

size_t CharacterLength(std::string_view text, size_t index) {
    if (IsLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size()) {
        return 2;
    }
    return 1;
}

// The length of the well-formed UTF-8 character at the index (RFC 3629: no overlong forms, no
// surrogates, nothing beyond U+10FFFF), 0 when the bytes there are none.
size_t Utf8Length(std::string_view text, size_t index) {
    auto byteAt = [&](size_t offset) {
        return index + offset < text.size() ? static_cast<unsigned char>(text[index + offset]) : 0;
    };
    unsigned char lead = byteAt(0);
    if (lead < 0x80) {
        return 1;
    }
    // The second byte's range depends on the lead; the others are plain continuation bytes.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (byteAt(1) < low || byteAt(1) > high) {
        return 0;
    }
    for (size_t offset = 2; offset < length; ++offset) {
        if (byteAt(offset) < 0x80 || byteAt(offset) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

bool IsUtf8(std::string_view text) {
    for (size_t index = 0; index < text.size();) {
        size_t length = Utf8Length(text, index);
        if (length == 0) {
            return false;
        }
        index += length;
    }
    return true;
}

std::string NameToDisplay(std::string_view bytes) {
    if (IsUtf8(bytes)) {
        return std::string(bytes);
    }
    if (std::optional<std::string> utf8 = Cp932ToUtf8(bytes)) {
        return *utf8;
    }
    std::string display;
    for (size_t index = 0; index < bytes.size();) {
        size_t length = Utf8Length(bytes, index);
        display += length == 0 ? std::string_view("\xEF\xBF\xBD") : bytes.substr(index, length);
        index += std::max<size_t>(length, 1);
    }
    return display;
}

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
    return Convert("UTF-8", "CP932", cp932);
}

std::string Cp932ToDisplay(std::string_view cp932) {
    if (auto utf8 = Cp932ToUtf8(cp932)) {
        return *utf8;
    }
    std::string display;
    for (size_t index = 0; index < cp932.size();) {
        size_t length = CharacterLength(cp932, index);
        auto character = Cp932ToUtf8(cp932.substr(index, length));
        display += character ? *character : "\xEF\xBF\xBD";
        index += length;
    }
    return display;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8);
}

std::string CutBytes(std::string_view cp932, size_t maxBytes) {
    size_t end = 0;
    while (end < cp932.size()) {
        size_t length = CharacterLength(cp932, end);
        if (end + length > maxBytes) {
            break;
        }
        end += length;
    }
    return std::string(cp932.substr(0, end));
}

std::string DisplayExcerpt(std::string_view cp932, size_t maxBytes) {
    const std::string strHead = CutBytes(cp932, maxBytes);
    return Cp932ToDisplay(strHead) + (strHead.size() < cp932.size() ? "…" : "");
}

std::string MakeUpper(std::string_view cp932) {
    std::string upper(cp932);
    for (size_t index = 0; index < upper.size();) {
        unsigned char byte = static_cast<unsigned char>(upper[index]);
        size_t length = CharacterLength(upper, index);
        if (length == 1 && byte >= 'a' && byte <= 'z') {
            upper[index] = static_cast<char>(byte - 'a' + 'A');
        } else if (length == 2 && byte == 0x82) {
            // Full-width a..z (0x8281..0x829A) map to full-width A..Z (0x8260..0x8279).
            unsigned char trail = static_cast<unsigned char>(upper[index + 1]);
            if (trail >= 0x81 && trail <= 0x9A) {
                upper[index + 1] = static_cast<char>(trail - 0x21);
            }
        }
        index += length;
    }
    return upper;
}

size_t FindLastSingleByte(std::string_view cp932, char character) {
    size_t found = std::string::npos;
    for (size_t index = 0; index < cp932.size();) {
        size_t length = CharacterLength(cp932, index);
        if (length == 1 && cp932[index] == character) {
            found = index;
        }
        index += length;
    }
    return found;
}

int DecimalValue(std::string_view text) {
    size_t index = 0;
    while (index < text.size() &&
           (text[index] == ' ' || (text[index] >= '\t' && text[index] <= '\r'))) {
        ++index;
    }
    bool bNegative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-')) {
        bNegative = text[index] == '-';
        ++index;
    }
    long long value = 0;
    for (; index < text.size() && text[index] >= '0' && text[index] <= '9'; ++index) {
        value = value * 10 + (text[index] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (bNegative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

std::string Format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    }
    va_end(arguments);
    return text;
}

std::string NameOfPath(const std::string& strPath) {
    return strPath.substr(strPath.find_last_of('/') + 1);
}

void AppendJsonQuoted(std::string& strOut, std::string_view text) {
    strOut += '"';
    for (char c : text) {
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
            strOut += Format("\\u%04x", nByte);
        } else {
            strOut += c;
        }
    }
    strOut += '"';
}

std::string JsonQuoted(std::string_view text) {
    std::string strQuoted;
    AppendJsonQuoted(strQuoted, text);
    return strQuoted;
}
