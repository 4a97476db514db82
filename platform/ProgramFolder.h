#pragma once

#include <string>

// Where the program keeps its files: the application profile RZKSET.ini, the machine profiles
// in Data/ and the staging copies an action puts there for its own time (list files, markers,
// maintenance copies, merged tapes). All of them go to one folder, ExeDir, ending in "/".
//
// Run from its build folder (or a copy the operator unpacked somewhere) the program may write
// its own folder and keeps everything beside itself. Installed under /usr it may not (and must
// not, even as root: /usr is never written at run time), so the user's data folder takes the
// executable folder's place: $XDG_DATA_HOME/rzkset/, or ~/.local/share/rzkset/ when
// XDG_DATA_HOME is unset or not absolute. That folder and its Data/ are created when missing.
// strXdgDataHome and strHome are the environment's values (empty when unset). Answers
// strExeFolder when the data folder cannot be made either, so that the first write reports the
// failure.
std::string ProgramFolder(const std::string& strExeFolder, const std::string& strXdgDataHome,
                          const std::string& strHome);

// A new program folder (no RZKSET.ini yet and no machine profile in its Data/) gets a copy of
// the machine profiles in strShippedProfiles (a folder ending in "/", the package's default
// profile "１号機"), so that the first start finds the profile it looks for. A folder in use is
// left alone, so that a profile deleted or damaged later is reported as such. Answers whether
// profiles were copied.
bool CopyShippedProfiles(const std::string& strProgramFolder,
                         const std::string& strShippedProfiles);
