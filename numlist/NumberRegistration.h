#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CFileNo;
class CStoreAction;

// The number registration's work on the unit, without its dialog: the number registration
// ("番号登録") and the command line run the same steps.

// Reads the numbered list "FileList.fno" of RzFilesOut (made when missing) into list. The
// message of a failure, "" when the list can be edited; a list there but not read is a failure.
std::string OpenNumberList(CFileNo& list);

// Registers the PC files into the numbered programs: each goes to RzFilesOut as "%04d.fno",
// numbered on from nNo, and its entry into the list at nPosition onwards. Stops at the first
// number that is taken ("%dは登録できません。") or file that cannot be sent, and when the operator
// stops the work (no failure then: the action tells WasStopped); the entries of the files sent
// stay. onInserted is told the position of each new entry. The action stands in
// RzFilesOut. The failure text, "" when every file went.
std::string RegisterNumberedFiles(CStoreAction& action, CFileNo& list,
                                  const std::vector<std::string>& aFiles, int nNo, size_t nPosition,
                                  const std::function<void(size_t)>& onInserted);

// What a numbered list that could not be written back is reported with.
std::string NumberListWriteFailureText();

// Writes the numbered list back; the message of a failure, "" on success.
std::string SaveNumberList(const CFileNo& list);
