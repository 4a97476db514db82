#include "transfer/ProgramCompare.h"

#include <optional>

#include "platform/Text.h"

namespace {

constexpr size_t EXCERPT_BYTES = 40;

// Takes the next line off the front of the bytes; nullopt when none is left.
std::optional<std::string_view> NextLine(std::string_view& bytes) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    size_t nEnd = bytes.find_first_of("\r\n");
    std::string_view line = bytes.substr(0, nEnd);
    if (nEnd == std::string_view::npos) {
        bytes = {};
    } else {
        bytes.remove_prefix(nEnd + (bytes.compare(nEnd, 2, "\r\n") == 0 ? 2 : 1));
    }
    return line;
}

std::string Shown(const std::optional<std::string_view>& line) {
    return line ? DisplayExcerpt(*line, EXCERPT_BYTES) : std::string("（なし）");
}

}  // namespace

ProgramDifference FirstDifference(std::string_view oldBytes, std::string_view newBytes) {
    for (int nLine = 1;; ++nLine) {
        std::optional<std::string_view> oldLine = NextLine(oldBytes);
        std::optional<std::string_view> newLine = NextLine(newBytes);
        if (!oldLine && !newLine) {
            return {};
        }
        if (oldLine != newLine) {
            return {true, nLine, Shown(oldLine), Shown(newLine)};
        }
    }
}

std::string DifferenceText(const ProgramDifference& difference) {
    return Format("%d行目「%s」→「%s」", difference.nLine, difference.strOldLine.c_str(),
                  difference.strNewLine.c_str());
}
