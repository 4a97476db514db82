#pragma once

#include <optional>
#include <string>

// The bytes of a whole file; nullopt when it cannot be opened or a read fails (EIO of a
// failing medium, a folder of that name). Reading through stream iterators would throw on such
// an error instead, and nothing above a file format expects an exception.
std::optional<std::string> ReadWholeFile(const std::string& strPath);
