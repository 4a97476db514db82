#pragma once

#include <string>

// Failures of the PC's own files, told apart for the operator: a full disk, a folder that
// cannot be written and a drive that has gone each read differently from a file the unit
// refused.

// One short line saying why a PC file could not be read or written, for the error number.
std::string LocalFailureReason(int nError);

// The same for a file that could not be read: a file the operator may not read is said so.
std::string LocalReadFailureReason(int nError);
// The error number that opening strPath for reading meets now, 0 when it opens as a file.
int ProbeFileForRead(const std::string& strPath);

// The error number that writing a file into the folder of strPath meets now, 0 when the folder
// takes one. For failures whose own error number is not handed up (a transfer answers only
// whether it was done): asked afterwards, it tells whether the PC side was at fault.
int ProbeFolderForWrite(const std::string& strPath);

// A write past the process's file-size limit then fails with EFBIG, as one on a full disk
// fails, instead of the kernel ending the process with SIGXFSZ: the program reports it and
// keeps the file that stood there. Called once at start.
void IgnoreFileSizeSignal();
