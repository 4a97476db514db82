#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text helpers for the two encodings of the program: code page 932 bytes for everything that
// is stored or sent to the unit, UTF-8 for the user interface and the Linux file system.

// True when the byte starts a double-byte character of code page 932.
bool IsLeadByte(unsigned char byte);

// Code page 932 bytes to UTF-8; nullopt when the bytes are not valid code page 932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// Code page 932 bytes to UTF-8 for display: invalid bytes become U+FFFD, never fails.
std::string Cp932ToDisplay(std::string_view cp932);

// True when the bytes are well-formed UTF-8 (as JSON and Qt take it).
bool IsUtf8(std::string_view text);

// A name or path of the Linux file system, whose bytes may be anything, for display: UTF-8 as
// it stands, else code page 932 when the bytes are that (names copied from the unit's USB
// memory), else U+FFFD for each byte that is neither. Never fails; not reversible.
std::string NameToDisplay(std::string_view bytes);

// UTF-8 to code page 932 bytes; nullopt when a character has no code page 932 form.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// The longest head of the text that holds at most maxBytes bytes without splitting a
// double-byte character.
std::string CutBytes(std::string_view cp932, size_t maxBytes);

// The head of a line for a message: at most maxBytes bytes of it in UTF-8, "…" where it was
// cut.
std::string DisplayExcerpt(std::string_view cp932, size_t maxBytes);

// Upper case as the code page knows it: single-byte a-z and the full-width Latin letters;
// trail bytes are never taken for letters.
std::string MakeUpper(std::string_view cp932);

// Index of the last single-byte occurrence of the character, skipping trail bytes (0x5C and
// 0x7C occur as trail bytes); std::string::npos when absent.
size_t FindLastSingleByte(std::string_view cp932, char character);

// A decimal value read like the C library's atoi (leading blanks, optional sign, digits up to
// the first non-digit, 0 when there are none), but saturating at INT_MIN and INT_MAX instead of
// being undefined beyond the 32-bit range.
int DecimalValue(std::string_view text);

// The name part of a path, after its last "/".
std::string NameOfPath(const std::string& strPath);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// UTF-8 text as a JSON string, quotes included: quotes, backslashes and control characters
// escaped. The appending form writes straight into a line being built.
void AppendJsonQuoted(std::string& strOut, std::string_view text);
std::string JsonQuoted(std::string_view text);
