#pragma once

#include <ctime>
#include <string>

class CFileNo;
class CUiServices;

// The two sheets printed from a program list: the number registration sheet calls programs
// by number ("//%04d" barcodes), the file operations sheet by file name.
enum class PrintVariant { Number, FileName };

// Asks for a printer and a page range and prints the list, fifteen rows a page, on the chosen
// pages; an empty list asks nothing and prints nothing. The title is code page 932 bytes.
// Every page is stamped with the same local time, taken when printing starts.
void PrintFileList(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                   PrintVariant variant);
// The same with the time stamp given, so that a sheet can be reproduced exactly.
void PrintFileList(CUiServices& ui, const CFileNo& list, const std::string& strTitleCp932,
                   PrintVariant variant, const std::tm& stampTime);
