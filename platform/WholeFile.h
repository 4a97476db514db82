#pragma once

#include <optional>
#include <string>

#include <cstddef>
#include <limits>

// The bytes of a whole file; nullopt when it cannot be opened or a read fails (EIO of a
// failing medium, a folder of that name), or when it holds more than nMaxBytes: a file that
// the program reads whole and that is far larger than any of its kind is damaged, and is not
// taken into memory (errno EOVERFLOW). Reading through stream iterators would throw on such an
// error instead, and nothing above a file format expects an exception.
std::optional<std::string> ReadWholeFile(const std::string& strPath,
                                         size_t nMaxBytes = std::numeric_limits<size_t>::max());
