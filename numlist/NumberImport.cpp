#include "numlist/NumberImport.h"

#include "app/RZKSETApp.h"
#include "numlist/Registration.h"
#include "platform/LocalFailure.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "unitstore/StoreAction.h"

namespace {

// The PC's side is asked first (a full disk, a folder that cannot be written), else the unit's
// refusal says why; "" when neither tells.
std::string FailureReasonLine(const CUnitStore& store, const std::string& strPath) {
    int nError = ProbeFolderForWrite(strPath);
    std::string strReason = nError != 0 ? LocalFailureReason(nError) : store.RefusalText();
    return strReason.empty() ? "" : "\n" + strReason;
}

}  // namespace

ProgramImport ImportWaitingProgram(int nNo, const std::string& strPath,
                                   const std::string& strFileName) {
    CRZKSETApp& app = GetApp();
    std::string strProgram = ProgramFileName(nNo);
    CStoreAction action(app.StoreSettings(), kWaitingFolder);
    ProgramImport outcome;
    std::string strOutcome;
    if (action.IsOpen()) {
        if (!action.Store().GetFile(strProgram, strPath)) {
            outcome.bStopped = action.WasStopped();
            strOutcome = outcome.bStopped
                             ? StoppedMessage()
                             : Format("%sの登録に失敗しました。", strFileName.c_str()) +
                                   FailureReasonLine(action.Store(), strPath);
        } else {
            // The program is on the PC: taking it out of the waiting folder is not stopped.
            CStopShield finishing;
            outcome.bTaken = true;
            outcome.bDone = action.Store().Remove(strProgram);
            strOutcome = outcome.bDone ? Format("%sの登録が正常終了しました。", strFileName.c_str())
                                       : "消去に失敗しました。";
            if (app.Sousa == 0) {
                StampWithNow(strPath);
            }
        }
    }
    outcome.bDone = outcome.bDone && action.StoreFailureText().empty();
    outcome.strMessage = action.Message(strOutcome);
    action.Close();
    return outcome;
}
