#pragma once

#include <string_view>

// Whether a file name matches a pattern the way the program's lists use them ("*", "*.*",
// "*.fno", "*.NC"): "*" stands for any run of characters, "?" for one character, letters
// compare without regard to case, as on the unit's FAT memory. As on Windows, "*.*" matches
// every name and a pattern ending in "." also matches a name without any extension. Both
// are code page 932 bytes; a double-byte character counts as one character.
bool MatchesFilePattern(std::string_view cp932Name, std::string_view cp932Pattern);
