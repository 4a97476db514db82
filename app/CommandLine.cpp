#include "app/CommandLine.h"

namespace {

struct CommandName {
    const char* pszOption;
    CommandLine::Command command;
};

constexpr CommandName kCommands[] = {
    {"--send", CommandLine::Command::Send},       {"--receive", CommandLine::Command::Receive},
    {"--status", CommandLine::Command::Status},   {"--help", CommandLine::Command::Help},
    {"--version", CommandLine::Command::Version},
};

// Checks what the command takes once every argument is read.
std::string CheckOperands(const CommandLine& line) {
    using Command = CommandLine::Command;
    switch (line.command) {
        case Command::Send:
            return line.aPaths.empty() ? "--send: ファイルがありません。" : "";
        case Command::Receive:
            return line.aPaths.size() == 1 ? "" : "保存するファイルを一つ指定してください。";
        case Command::Status:
        case Command::Help:
        case Command::Version:
            return line.aPaths.empty() ? "" : "余分な引数があります: " + line.aPaths.front();
        case Command::Window:
            break;
    }
    return {};
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& aArguments) {
    CommandLine line;
    bool bCommandGiven = false;
    bool bOptionsEnded = false;
    auto refuse = [&line](const std::string& strError) {
        line.strError = strError;
        return line;
    };
    for (size_t nIndex = 0; nIndex < aArguments.size(); ++nIndex) {
        const std::string& strArgument = aArguments[nIndex];
        if (bOptionsEnded || !strArgument.starts_with("--")) {
            line.aPaths.push_back(strArgument);
            continue;
        }
        if (strArgument == "--") {
            bOptionsEnded = true;
            continue;
        }
        if (strArgument == "--force") {
            line.bForce = true;
            continue;
        }
        if (strArgument == "--profile" || strArgument == "--transport") {
            if (nIndex + 1 >= aArguments.size()) {
                return refuse(strArgument + " の値がありません。");
            }
            const std::string& strValue = aArguments[++nIndex];
            if (strArgument == "--profile") {
                if (strValue.empty() || strValue.find('/') != std::string::npos) {
                    return refuse("プロファイル名が正しくありません: " + strValue);
                }
                line.strProfile = strValue;
            } else if (strValue == "network" || strValue == "usb") {
                line.nSousa = strValue == "network" ? 1 : 0;
            } else {
                return refuse("--transport は network か usb です: " + strValue);
            }
            continue;
        }
        const CommandName* pFound = nullptr;
        for (const CommandName& name : kCommands) {
            if (strArgument == name.pszOption) {
                pFound = &name;
            }
        }
        if (pFound == nullptr) {
            return refuse("不明なオプションです: " + strArgument);
        }
        if (bCommandGiven) {
            return refuse("コマンドは一つだけ指定してください: " + strArgument);
        }
        bCommandGiven = true;
        line.command = pFound->command;
    }
    if (!bCommandGiven && (line.bForce || !line.strProfile.empty() || line.nSousa >= 0)) {
        return refuse("コマンド（--send など）がありません。");
    }
    line.strError = CheckOperands(line);
    return line;
}

std::string CommandLineUsage() {
    return "使い方: rzkset [FILE...]\n"
           "       rzkset --send FILE... [--profile NAME] [--transport network|usb] [--force]\n"
           "       rzkset --receive PATH [--profile NAME] [--transport network|usb]\n"
           "       rzkset --status [--profile NAME] [--transport network|usb]\n"
           "       rzkset --help | --version\n"
           "\n"
           "FILE だけを指定すると、ウィンドウを開いてそのファイルを登録します。\n"
           "\n"
           "  --send FILE...     ＮＣプログラムをRZK-70へ登録します（複数のファイルは一つに"
           "まとめます）。\n"
           "  --receive PATH     RZK-70が受け取ったＮＣプログラムをPATHに保存します。\n"
           "  --status           ストアを点検します。\n"
           "  --profile NAME     機械設定NAMEを使います（既定は現在の機械設定）。\n"
           "  --transport network|usb\n"
           "                     ネットワークかＵＳＢメモリを使います（既定は前回の操作）。\n"
           "  --force            テープの確認で注意があっても続けます。\n"
           "  --help             この説明を表示します。\n"
           "  --version          版を表示します。\n"
           "\n"
           "終了コード: 0 正常終了、1 操作の失敗、2 引数の誤り。メッセージは標準エラー出力に"
           "出ます。\n";
}
