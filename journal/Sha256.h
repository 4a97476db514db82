#pragma once

#include <string>
#include <string_view>

// The SHA-256 of the bytes as 64 lower-case hexadecimal digits: how the journal names the
// bytes that went over and how the history store names the versions it keeps.
std::string Sha256Hex(std::string_view bytes);
