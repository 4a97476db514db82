#pragma once

#include <string_view>

// What a tape reader hands on: either whole lines that already stand as a tape file holds them
// (each ended by CR LF, none empty, none holding a "%"), to be copied as they are, or one line
// without its line end.
struct TapeLines {
    std::string_view text;
    bool bEnded = false;
};
