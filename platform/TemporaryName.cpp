#include "platform/TemporaryName.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <random>

#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

// The name of earlier versions, "~RZKSET.~~~~", has the form too, so that one such file left
// on a unit is treated as the others are.
constexpr std::string_view kPrefix = "~RZKSET";
constexpr std::string_view kExtension = ".~~~~";

// Eight hexadecimal digits that tell this PC from others: the start of its machine id, which
// the system makes once at installation; the host id where there is none.
const std::string& ThisPc() {
    static const std::string strPc = [] {
        std::string strId = ReadWholeFile("/etc/machine-id").value_or("");
        if (strId.size() >= 8 && strId.find_first_not_of("0123456789abcdef") >= 8) {
            return strId.substr(0, 8);
        }
        return Format("%08lx", static_cast<unsigned long>(gethostid()) & 0xFFFFFFFFUL);
    }();
    return strPc;
}

// The PC and the process of a name made by NewTemporaryName; false for any other name.
bool SplitName(std::string_view name, std::string_view& pc, long& nProcess) {
    if (!IsTemporaryName(name)) {
        return false;
    }
    name.remove_prefix(kPrefix.size());
    name.remove_suffix(kExtension.size());
    size_t nDash = name.find('-', 1);
    if (!name.starts_with('-') || nDash == std::string_view::npos) {
        return false;
    }
    pc = name.substr(1, nDash - 1);
    std::string_view rest = name.substr(nDash + 1);
    auto [pEnd, error] = std::from_chars(rest.data(), rest.data() + rest.size(), nProcess);
    return error == std::errc() && pEnd != rest.data() && pEnd != rest.data() + rest.size() &&
           *pEnd == '-' && nProcess > 0;
}

}  // namespace

// The serial starts at a random number: two PCs that share a machine id (copies of one
// installation) and a process number still do not meet.
std::string NewTemporaryName() {
    static std::atomic<unsigned> nSerial = std::random_device()();
    return std::string(kPrefix) + "-" + ThisPc() +
           Format("-%ld-%08x", static_cast<long>(getpid()), nSerial++) + std::string(kExtension);
}

bool IsTemporaryName(std::string_view name) {
    return name.size() >= kPrefix.size() + kExtension.size() && name.starts_with(kPrefix) &&
           name.ends_with(kExtension);
}

bool IsLeftOverTemporaryName(std::string_view name) {
    std::string_view pc;
    long nProcess = 0;
    if (!SplitName(name, pc, nProcess) || pc != ThisPc() || nProcess == getpid()) {
        return IsTemporaryName(name);
    }
    return kill(static_cast<pid_t>(nProcess), 0) != 0 && errno == ESRCH;
}
