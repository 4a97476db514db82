#pragma once

#include "numlist/FileNo.h"
#include "platform/Text.h"

// The numbered list the benchmarks save and print: COUNT entries with names and remarks of
// the lengths operators use.
inline CFileNo BenchList(int nCount) {
    CFileNo list;
    list.m_strTitle = "BENCH";
    for (int nNo = 1; nNo <= nCount; ++nNo) {
        list.m_aData.push_back({nNo, Format("PROGRAM_%04d.NC", nNo), "REMARK"});
    }
    return list;
}
