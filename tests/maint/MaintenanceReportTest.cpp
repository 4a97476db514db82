#include "maint/MaintenanceReport.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"

namespace {

const std::string kVersionHeader = "---Ver.---\r\n";
const std::string kRsioHeader = "\r\n---ＲＳ通信設定---\r\n";
const std::string kNetworkHeader = "\r\n---ﾈｯﾄﾜｰｸ設定---\r\n";
// What a store without any of the files gives: the three headers and the empty version line
// and RS-232C settings that separate them.
const std::string kHeadersOnly = kVersionHeader + kRsioHeader + kNetworkHeader;

// PVNRSIO.INI as the unit configuration is written with every default of a machine profile.
const std::string kDefaultRsio =
    "BPS=0\r\nSTOPBIT=2\r\nDOT=NC\r\nCODE=0\r\nOUTCHGO=7000\r\nOUTCHGO2=7009\r\nSAME=0\r\n"
    "INDOT=1\r\nOUTFILE=RZKOUT\r\nINFILE=RZKIN\r\nDECODE=-1\r\n";

std::string Cp932(const std::string& strUtf8) {
    return Utf8ToCp932(strUtf8).value();
}

TEST(MaintenanceReport, ReportOfEachFileByteForByte) {
    const struct {
        const char* pszName;
        MaintenanceFiles files;
        std::string strReport;
    } aCases[] = {
        {"no file at all", {}, kHeadersOnly},
        {"identity, a later line overriding an earlier one",
         {"NAME=OLD\r\nname=abc\r\nMainVer=1\r\nSubVer=02\r\nRev=a\r\nmac=00:11:22:33:44:55\r\n",
          {},
          {},
          {},
          {}},
         "---Ver.---\r\nABC 102A\r\nMAC 00:11:22:33:44:55\r\n" + kRsioHeader + kNetworkHeader},
        {"empty identity",
         {"", {}, {}, {}, {}},
         kVersionHeader + " \r\n" + kRsioHeader + kNetworkHeader},
        {"identity lines too short for a value, without MAC",
         {"NAME=\nMAINVER=\nMAC=\nREV=1", {}, {}, {}, {}},
         kVersionHeader + " 1\r\n" + kRsioHeader + kNetworkHeader},
        {"settings with every default",
         {{}, kDefaultRsio, {}, {}, {}},
         kVersionHeader + kRsioHeader +
             "ボーレート：4800\r\nストップビット：2bit\r\n出力コード：ISO\r\n入力コード：自動\r\n"
             "リモート指示用プログラム番号1：7000\r\nリモート指示用プログラム番号2：7009\r\n"
             "拡張子の自動追加：OFF（追加しない）\r\nプログラムファイル拡張子：\r\n"
             "初期状態の入出力ファイル：OFF（同じにしない）\r\n出力ファイル名：RZKOUT\r\n"
             "入力ファイル名：RZKIN\r\n" +
             kNetworkHeader},
        {"a value without a name, an empty value",
         {{}, "BPS=7\r\nCODE=1\r\nSTOPBIT=2\r\nSTOPBIT=\r\n", {}, {}, {}},
         kVersionHeader + kRsioHeader + "ボーレート：7\r\nストップビット：\r\n出力コード：EIA\r\n" +
             kNetworkHeader},
        {"the other named values",
         {{}, "BPS=-2\r\nSTOPBIT=1\r\nCODE=1\r\nDECODE=0\r\n", {}, {}, {}},
         kVersionHeader + kRsioHeader +
             "ボーレート：1200\r\nストップビット：1bit\r\n出力コード：EIA\r\n入力コード：ISO\r\n" +
             kNetworkHeader},
        {"second remote number alone",
         {{}, "OUTCHGO2=7009", {}, {}, {}},
         kVersionHeader + kRsioHeader + "リモート指示用プログラム番号2：7009\r\n" + kNetworkHeader},
        {"input file the same as the output file, extension added, lower case and LF ends",
         {{}, "same=1\noutfile=out\ninfile=in\nindot=0\ndot=nc\n", {}, {}, {}},
         kVersionHeader + kRsioHeader +
             "拡張子の自動追加：ON（追加する）\r\nプログラムファイル拡張子：NC\r\n"
             "初期状態の入出力ファイル：ON（同じにする）\r\n出力ファイル名：OUT\r\n"
             "入力ファイル名：\r\n" +
             kNetworkHeader},
        {"double-byte text in capitals without breaking a character",
         {{}, Cp932("DOT=ヂａ\r\nINDOT=0\r\n"), {}, {}, {}},
         kVersionHeader + kRsioHeader +
             "拡張子の自動追加：ON（追加する）\r\nプログラムファイル拡張子：ヂＡ\r\n" +
             kNetworkHeader},
        {"settings without a known key",
         {{}, "[RS]\r\nSPEED=1\r\n", {}, {}, {}},
         kVersionHeader + kRsioHeader + "\r\n" + kNetworkHeader},
        {"network settings as they are",
         {{}, {}, "auto lo\r\niface eth0 inet static\naddress 192.168.0.102", {}, {}},
         kHeadersOnly + "auto lo\r\niface eth0 inet static\r\naddress 192.168.0.102\r\n"},
        {"requests, other and short lines skipped",
         {{}, {}, {}, "nnamex=1\r\nBNUMNE=0\r\nBNUMEX=\r\nXNUMEX=1\r\nBNAMEX=ABC\r\n", {}},
         kHeadersOnly + "\r\n---ファイル名指定---\r\nNC\r\n有\r\n1\r\n"
                        "\r\n---番号指定---\r\nバーコードリーダ\r\n無\r\n0\r\n"
                        "\r\n---ファイル名指定---\r\nバーコードリーダ\r\n有\r\nABC\r\n"},
    };
    for (const auto& testCase : aCases) {
        EXPECT_EQ(BuildMaintenanceReport(testCase.files), testCase.strReport) << testCase.pszName;
    }
}

}  // namespace
