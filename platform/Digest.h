#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The SHA-256 of the bytes as 64 lower-case hexadecimal digits: how the journal names the
// bytes that went over and how the history store names the versions it keeps. Empty only when
// libcrypto cannot hash at all.
std::string Sha256Hex(std::string_view bytes);

struct FileDigest {
    int64_t nSize = 0;
    std::string strSha256;  // as Sha256Hex
};

// The size and SHA-256 of a file, read a piece at a time: what a journal line needs of the bytes
// that went over, without holding them all. nullopt when the file cannot be read whole.
std::optional<FileDigest> Sha256OfFile(const std::string& strPath);
