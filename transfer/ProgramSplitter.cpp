#include "transfer/ProgramSplitter.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "transfer/TapeReader.h"
#include "transfer/TapeWriter.h"

namespace {

bool IsNumberCharacter(char character) {
    return (character >= '0' && character <= '9') || character == ' ' || character == '-';
}

// Index of the program-number address of the line, or npos. The last character is never
// taken: an address must have something behind it.
size_t FindAddress(std::string_view line) {
    // Most lines of a tape hold neither address byte; ruling them out with two fast searches
    // keeps the character walk to the few lines that may start a program.
    std::string_view head = line.substr(0, line.size() - 1);
    if (std::memchr(head.data(), 'O', head.size()) == nullptr &&
        std::memchr(head.data(), ':', head.size()) == nullptr) {
        return std::string_view::npos;
    }
    bool bInComment = false;
    for (size_t index = 0; index + 1 < line.size(); ++index) {
        char character = line[index];
        if (IsLeadByte(static_cast<unsigned char>(character))) {
            ++index;
        } else if (bInComment) {
            bInComment = character != ')';
        } else if (character == '(') {
            bInComment = true;
        } else if (character == 'O' || character == ':') {
            return index;
        }
    }
    return std::string_view::npos;
}

// Puts the program's file in place; on failure the result says which file and why.
void Fail(const CTapeWriter& output, SplitResult& result) {
    result.strFailedName = NameOfPath(output.TargetPath());
    result.nError = output.Error();
}

bool FinishProgram(std::unique_ptr<CTapeWriter>& pOutput, SplitResult& result) {
    if (!pOutput) {
        return true;
    }
    bool bOk = pOutput->Finish();
    if (bOk) {
        ++result.nWritten;
    } else {
        Fail(*pOutput, result);
    }
    pOutput.reset();
    return bOk;
}

}  // namespace

int GetProgramNumber(std::string_view line) {
    if (line.size() < 2) {
        return -1;
    }
    size_t address = FindAddress(line);
    if (address == std::string_view::npos) {
        return -1;
    }
    size_t end = address + 1;
    while (end < line.size() && IsNumberCharacter(line[end])) {
        ++end;
    }
    if (end == address + 1) {
        return -1;
    }
    return DecimalValue(line.substr(address + 1, end - address - 1));
}

SplitResult SplitByProgramNumber(const std::string& strSourcePath,
                                 const std::string& strDestinationFolder,
                                 const std::string& strSuffix,
                                 const std::function<void(const std::string&)>& onProgramFile) {
    SplitResult result;
    // A line that starts a program holds its address; such a line always comes alone.
    CTapeReader reader("O:");
    if (!reader.Open(strSourcePath)) {
        result.nError = errno;
        return result;
    }
    std::unique_ptr<CTapeWriter> pOutput;
    TapeLines lines;
    while (reader.Read(lines)) {
        if (CStopRequest::IsRequested()) {
            result.bStopped = true;
            result.strFailedName = pOutput ? NameOfPath(pOutput->TargetPath()) : std::string();
            return result;
        }
        int nProgramNumber = lines.bEnded ? -1 : GetProgramNumber(lines.text);
        if (nProgramNumber > 0) {
            if (!FinishProgram(pOutput, result)) {
                return result;
            }
            const std::string strPath =
                strDestinationFolder + Format("O%04d%s", nProgramNumber, strSuffix.c_str());
            if (onProgramFile) {
                onProgramFile(strPath);
            }
            CProgress::StartFile(NameOfPath(strPath), result.nWritten, 0);
            pOutput = std::make_unique<CTapeWriter>(strPath);
            if (!pOutput->Open()) {
                Fail(*pOutput, result);
                return result;
            }
        }
        if (pOutput) {
            pOutput->Write(lines);
        }
    }
    if (reader.Failed()) {
        result.strFailedName = NameOfPath(strSourcePath);
        result.nError = reader.Error();
        return result;
    }
    result.bOk = FinishProgram(pOutput, result);
    return result;
}
