#pragma once

#include <ctime>
#include <functional>
#include <string>

class CFileNo;
class CUiServices;

// The two sheets printed from a program list: the number registration sheet calls programs
// by number ("//%04d" barcodes), the file operations sheet by file name.
enum class PrintVariant { Number, FileName };

// Asks for a printer and a page range and prints the list, fifteen rows a page, on the chosen
// pages; an empty list asks nothing and prints nothing. The title is code page 932 bytes.
// Every page is stamped with the same local time, taken once the document has started. A
// document that cannot start (no printer, an unwritable PDF file) is reported by name.
void PrintFileList(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                   PrintVariant variant);
// The same with the clock given, so that a sheet can be reproduced exactly.
void PrintFileList(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                   PrintVariant variant, const std::function<std::tm()>& clock);
