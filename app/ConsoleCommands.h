#pragma once

#include "app/CommandLine.h"

// Runs a command of the command line without a window: the same operations and texts as the
// window's buttons, their messages on standard error. Answers the process exit status.
int RunConsoleCommand(const CommandLine& line);
