#pragma once

#include <string>

// The operator's words for why an FTP operation with the unit failed, from curl's error code
// (a CURLcode; kLocalFtpFailure for the PC's own side) and the server's last negative reply
// ("552 ...", empty when there was none). The operator reads Japanese: curl's English wording
// is kept for the journal only.
std::string FtpFailureText(int nCurlCode, const std::string& strLastReply);

constexpr int kLocalFtpFailure = -1;
// The words for a file the unit's store does not have, over either transport.
constexpr const char* kMissingFileText = "ファイルがありません。";
