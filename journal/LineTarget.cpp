#include "journal/LineTarget.h"

#include "journal/JournalRestore.h"
#include "platform/Text.h"
#include "settings/SetData.h"

namespace {

LineTarget Refused(std::string strMessage) {
    LineTarget target;
    target.strMessage = std::move(strMessage) + "\nこの行の比較と復元はできません。";
    return target;
}

}  // namespace

LineTarget TargetOfLine(const JournalRecord& record, const std::string& strProfilePath,
                        const UnitStoreSettings& current) {
    LineTarget target;
    target.settings = current;
    if (CJournalRestore::GoesToPc(record)) {
        target.bOk = true;
        return target;
    }
    CSetData setData;
    if (record.strProfile.empty() || setData.LoadProfile(strProfilePath) != 0) {
        return Refused(Format("機械「%s」の設定がありません。", record.strProfile.c_str()));
    }
    bool bNetwork = record.strTransport == "ftp";
    if (bNetwork && setData.IpAddress() != record.strAddress) {
        return Refused(Format("%sのアドレスが変わっています（この行は%s、今は%s）。",
                              record.strProfile.c_str(), record.strAddress.c_str(),
                              setData.IpAddress().c_str()));
    }
    if (!bNetwork && (current.nSousa != 0 || current.strUsbDrive != record.strAddress)) {
        return Refused(
            Format("この行はＵＳＢメモリ（%s）のものです。\n"
                   "ＵＳＢメモリを使っての操作で、そのメモリを選んでください。",
                   record.strAddress.c_str()));
    }
    target.bOk = true;
    target.settings.nSousa = bNetwork ? 1 : 0;
    target.settings.strServer = setData.IpAddress();
    target.settings.strProfile = record.strProfile;
    target.bAddDot = setData.ADD_DOT;
    target.strDot = setData.DOT;
    target.strMachine = Format("%s（%s）", record.strProfile.c_str(), record.strAddress.c_str());
    return target;
}
