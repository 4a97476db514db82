#pragma once

#include <string>
#include <string_view>

// The one form of the names under which the program writes a file before the file takes its
// own name, on the PC, on the USB memory and on the unit over FTP:
// "~RZKSET-<PC>-<process>-<serial>.~~~~". No list of the program shows such a name: "~" is no
// Code 39 character, it is no "%04d" or "%04d.fno" name, its extension of four characters is
// never a DOT (at most three) nor missing, and the store leaves it out of its listings, since
// without ADD_DOT every file of the root is listed. Each write has a name of its own, so that two
// programs writing one folder at once, on one PC or two, never carry off each other's file.

// A name no other call gets, in this process, another process or on another PC.
std::string NewTemporaryName();
// Whether a file name has that form.
bool IsTemporaryName(std::string_view name);
// Whether a file of that form, on a medium that only this PC writes (a USB memory plugged into
// it), is left over from a write that ended without it: one of another PC, one of a process of
// this PC that has ended, or one of this process, which writes one file at a time and so has
// none under way when it starts the next.
bool IsLeftOverTemporaryName(std::string_view name);
