#include "platform/FtpFailureText.h"

#include <curl/curl.h>

namespace {

// A reply that says the unit's memory has no room: 452 (insufficient storage) or 552
// (exceeded storage allocation).
bool IsStorageFull(const std::string& strLastReply) {
    return strLastReply.starts_with("452") || strLastReply.starts_with("552");
}

}  // namespace

std::string FtpFailureText(int nCurlCode, const std::string& strLastReply) {
    if (nCurlCode == kLocalFtpFailure) {
        return "ＰＣのファイルを読み書きできませんでした。";
    }
    if (IsStorageFull(strLastReply)) {
        return "ユニットのＵＳＢメモリに空きがありません。";
    }
    switch (static_cast<CURLcode>(nCurlCode)) {
        case CURLE_COULDNT_CONNECT:
            return "ユニットが接続を受け付けませんでした。";
        case CURLE_OPERATION_TIMEDOUT:
            return "ユニットが時間内に応答しませんでした。";
        case CURLE_COULDNT_RESOLVE_HOST:
            return "ユニットのアドレスが見つかりません。";
        case CURLE_LOGIN_DENIED:
            return "ユニットがログインを拒否しました。";
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
            return "ユニットとの接続が切れました。";
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
            return "ユニットの応答が正しくありません。";
        case CURLE_FTP_CANT_GET_HOST:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
            return "データ接続に失敗しました。";
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return kMissingFileText;
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_QUOTE_ERROR:
        case CURLE_UPLOAD_FAILED:
        case CURLE_FTP_COULDNT_RETR_FILE:
            return "ユニットが操作を拒否しました。";
        case CURLE_ABORTED_BY_CALLBACK:
            return "接続を打ち切りました。";
        default:
            return "ユニットとの通信に失敗しました。";
    }
}
