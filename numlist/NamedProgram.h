#pragma once

#include <string>
#include <vector>

struct FILENODATA;

// Rules of the named programs, the programs kept under their own names in the store root and
// catalogued in "FileNList.fnl", kept apart from the dialog so that they can be checked without
// widgets. Names are code page 932 bytes.

// The catalogue of the named programs in the store root.
constexpr const char* kNamedListFileName = "FileNList.fnl";

// The store files that are listed: with bAddDot those of the extension strDot ("*.NC"),
// otherwise every file ("*").
std::string NamedFilePattern(bool bAddDot, const std::string& strDot);
// The name a store file is listed under: with bAddDot the file name cut before its last ".",
// the whole name otherwise.
std::string NamedListName(const std::string& strFileName, bool bAddDot);
// The store file of a listed name: with bAddDot the name + "." + strDot, the name otherwise.
std::string NamedStoreName(const std::string& strListName, bool bAddDot, const std::string& strDot);

// Whether a name compares equal to another, ignoring the case of letters as the code page
// knows them.
bool EqualsIgnoringCase(const std::string& strName, const std::string& strOther);

// The second half of the rule for names taken into the catalogue, for a name already in
// upper case: at most 14 bytes, each a character of Code 39, so that the sheet can print the
// name as a barcode. The first half, that the name is not catalogued yet, is the dialog's.
bool IsCode39Name(const std::string& strUpperName);

// Ascending byte order (upper-case letters before lower-case ones, double-byte characters by
// their bytes).
void SortByBytes(std::vector<std::string>& aNames);

// Removes, keeping the order of the rest, every name that equals a reserved name or the name
// of one of the first nCount entries, ignoring the case of letters.
void RemoveReservedAndRegistered(std::vector<std::string>& aNames,
                                 const std::vector<std::string>& aReserved,
                                 const std::vector<FILENODATA>& aEntries, size_t nCount);
