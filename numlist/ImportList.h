#pragma once

#include <string>
#include <string_view>
#include <vector>

// The numbered programs that the unit leaves in its folder RzFilesIn for the PC to take over.

// The number of a program file's name without its extension: exactly four bytes that are
// "%04d" of a number 1..9999 ("0012" gives 12); 0 for every other name ("12ab", "0000", "12").
int WaitingProgramNumber(std::string_view name);

// The numbers of the programs among the file names (code page 932, with their extension),
// ascending; names of no numbered program count for nothing.
std::vector<int> ListWaitingPrograms(const std::vector<std::string>& aFileNames);
