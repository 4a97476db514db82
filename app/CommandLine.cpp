#include "app/CommandLine.h"

#include <charconv>
#include <optional>

namespace {

// A number of the numbered programs: 1..9999.
std::optional<int> ProgramNumber(const std::string& strText) {
    int nNo = 0;
    auto [pEnd, error] = std::from_chars(strText.data(), strText.data() + strText.size(), nNo);
    if (error != std::errc() || pEnd != strText.data() + strText.size() || nNo < 1 || nNo > 9999) {
        return std::nullopt;
    }
    return nNo;
}

struct CommandName {
    const char* pszOption;
    CommandLine::Command command;
};

constexpr CommandName kCommands[] = {
    {"--send", CommandLine::Command::Send},         {"--receive", CommandLine::Command::Receive},
    {"--register", CommandLine::Command::Register}, {"--import", CommandLine::Command::Import},
    {"--status", CommandLine::Command::Status},     {"--help", CommandLine::Command::Help},
    {"--version", CommandLine::Command::Version},
};

// Checks what the command takes once every argument is read.
std::string CheckOperands(const CommandLine& line, bool bNumberGiven) {
    using Command = CommandLine::Command;
    switch (line.command) {
        case Command::Send:
            return line.aPaths.empty() ? "--send: ファイルがありません。" : "";
        case Command::Register:
            if (!bNumberGiven) {
                return "--register: 最初の番号（1～9999）がありません。";
            }
            return line.aPaths.empty() ? "--register: ファイルがありません。" : "";
        case Command::Import:
            if (!bNumberGiven) {
                return "--import: 番号（1～9999）がありません。";
            }
            [[fallthrough]];
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
    bool bNumberGiven = false;
    auto refuse = [&line](const std::string& strError) {
        line.strError = strError;
        return line;
    };
    for (size_t nIndex = 0; nIndex < aArguments.size(); ++nIndex) {
        const std::string& strArgument = aArguments[nIndex];
        if (bOptionsEnded || !strArgument.starts_with("--")) {
            // Register and Import take their number first.
            bool bTakesNumber = line.command == CommandLine::Command::Register ||
                                line.command == CommandLine::Command::Import;
            if (bTakesNumber && !bNumberGiven) {
                std::optional<int> nNo = ProgramNumber(strArgument);
                if (!nNo) {
                    return refuse("番号は1～9999で指定してください: " + strArgument);
                }
                line.nNo = *nNo;
                bNumberGiven = true;
            } else {
                line.aPaths.push_back(strArgument);
            }
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
        if (strArgument == "--no-copy") {
            line.bNoCopy = true;
            continue;
        }
        if (strArgument == "--json") {
            line.bJson = true;
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
    if (!bCommandGiven &&
        (line.bForce || line.bNoCopy || !line.strProfile.empty() || line.nSousa >= 0)) {
        return refuse("コマンド（--send など）がありません。");
    }
    if (line.bJson && line.command != CommandLine::Command::Status) {
        return refuse("--json は --status とだけ使えます。");
    }
    line.strError = CheckOperands(line, bNumberGiven);
    return line;
}

std::string CommandLineUsage() {
    return "使い方: rzkset [FILE...]\n"
           "       rzkset --send FILE... [--profile NAME] [--transport network|usb] [--force] "
           "[--no-copy]\n"
           "       rzkset --receive PATH [--profile NAME] [--transport network|usb] [--no-copy]\n"
           "       rzkset --register N FILE... [--profile NAME] [--transport network|usb] "
           "[--force] [--no-copy]\n"
           "       rzkset --import N PATH [--profile NAME] [--transport network|usb] [--no-copy]\n"
           "       rzkset --status [--json] [--profile NAME] [--transport network|usb]\n"
           "       rzkset --help | --version\n"
           "\n"
           "FILE だけを指定すると、ウィンドウを開いてそのファイルを登録します。\n"
           "\n"
           "  --send FILE...     ＮＣプログラムをRZK-70へ登録します（複数のファイルは一つに"
           "まとめます）。\n"
           "  --receive PATH     RZK-70が受け取ったＮＣプログラムをPATHに保存します。\n"
           "  --register N FILE...\n"
           "                     ファイルを番号Nから順に番号登録します。\n"
           "  --import N PATH    番号Nのプログラムを取り込み、PATHに保存します。\n"
           "  --status           ストアを点検します。\n"
           "  --json             点検の結果をJSONで出力します（--status と使います）。\n"
           "  --profile NAME     機械設定NAMEを使います（既定は現在の機械設定）。\n"
           "  --transport network|usb\n"
           "                     ネットワークかＵＳＢメモリを使います（既定は前回の操作）。\n"
           "  --force            テープの確認で注意があっても続けます。\n"
           "  --no-copy          置き換える・消すファイルの写しを履歴に残せなくても続けます\n"
           "                     （ないときは中止します。--force では続けません）。\n"
           "  --help             この説明を表示します。\n"
           "  --version          版を表示します。\n"
           "\n"
           "終了コード: 0 正常終了、1 操作の失敗（点検では確認する項目あり）、2 引数の誤り。\n"
           "結果と報告は標準出力に、注意と失敗は標準エラー出力に出ます。\n";
}
