#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/UiServices.h"

class CFileNo;

// Rules of registering PC files into a program list, kept apart from the dialogs so that they
// can be checked without widgets.

// Where new entries go and the number offered for the first of them.
struct RegistrationStart {
    int nNo = 1;
    size_t nPosition = 0;
};

// nSelectedRow is the first selected row of the list, -1 when none; the row after the last
// entry is the blank row. New entries go before the selected entry and are numbered on from
// the entry above it; with the blank row or nothing selected they go to the end, numbered on
// from the last entry. The number is only an offer: it may be taken or out of range.
RegistrationStart ProposeRegistration(const CFileNo& list, int nSelectedRow);

// The folder of the numbered programs in the store, and their list in it.
constexpr const char* kProgramFolder = "RzFilesOut";
constexpr const char* kListFileName = "FileList.fno";

// "%04d.fno": the unit's file of a numbered program.
std::string ProgramFileName(int nNo);

// What a stopped registration finished, the numbers nFirst up to before nEnd: "N〜Mを登録し
// ました。", "Nを登録しました。", or empty when none.
std::string RegisteredNumbers(int nFirst, int nEnd);

// The name a PC file is listed under, in code page 932: the file name of the path, cut before
// its last "." when the extension is added automatically (bAddDot). nullopt when the name
// cannot stand in a list file: a character without a code page 932 form, or a line break.
std::optional<std::string> ListNameOfFile(const std::string& strPath, bool bAddDot);

// Dates a program taken over from the unit with the time it reached the PC, not the time the
// unit wrote it: access and modification times become now.
void StampWithNow(const std::string& strPath);

// The folder part of a path, ending in "/".
std::string FolderOfPath(const std::string& strPath);

// The open dialog for program files: with bAddDot, the programs of the extension strDot (code
// page 932) first and the extension as default; otherwise all files.
FileDialogOptions ProgramFileDialogOptions(bool bAddDot, const std::string& strDot,
                                           const std::string& strInitialFolder);
