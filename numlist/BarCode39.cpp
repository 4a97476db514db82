#include "numlist/BarCode39.h"

#include <array>

#include "platform/PrintTarget.h"

namespace {

constexpr std::array<unsigned, 44> PATTERNS = {
    0x034, 0x121, 0x061, 0x160, 0x031, 0x130, 0x070, 0x025, 0x124, 0x064,  // 0-9
    0x109, 0x049, 0x148, 0x019, 0x118, 0x058, 0x00D, 0x10C, 0x04C, 0x01C,  // A-J
    0x103, 0x043, 0x142, 0x013, 0x112, 0x052, 0x007, 0x106, 0x046, 0x016,  // K-T
    0x181, 0x0C1, 0x1C0, 0x091, 0x190, 0x0D0,                              // U-Z
    0x085, 0x184, 0x0C4, 0x0A8, 0x0A2, 0x08A, 0x02A,                       // - . space $ / + %
    0x094,                                                                 // *
};

// Element widths before the 1-unit outline of each bar widens it: 3 and 6 units on paper,
// and every space comes out the same 3 and 6 units because each element after the first
// starts one unit further on.
constexpr int NARROW_WIDTH = 2;
constexpr int WIDE_WIDTH = 5;
constexpr int ELEMENT_STEP = 1;
constexpr int SYMBOL_STEP = 4;

}  // namespace

unsigned CBarCode39::Pattern(int symbol) {
    return PATTERNS.at(static_cast<size_t>(symbol));
}

bool CBarCode39::Encode(std::string_view text, bool bCheckCharacter) {
    m_aSymbols.assign(1, START_STOP);
    int nSum = 0;
    for (char character : text) {
        size_t value = CHARACTER_SET.find(character);
        if (value == std::string_view::npos) {
            m_aSymbols.clear();
            return false;
        }
        m_aSymbols.push_back(static_cast<int>(value));
        nSum += static_cast<int>(value);
    }
    if (bCheckCharacter) {
        m_aSymbols.push_back(nSum % 43);
    }
    m_aSymbols.push_back(START_STOP);
    return true;
}

template <typename BarFunction>
int CBarCode39::LayOut(int x, BarFunction onBar) const {
    int left = x;
    int right = x;
    for (int symbol : m_aSymbols) {
        unsigned pattern = Pattern(symbol);
        for (int bit = 8; bit >= 0; --bit) {
            int width = (pattern >> bit) & 1U ? WIDE_WIDTH : NARROW_WIDTH;
            if (bit % 2 == 0) {
                onBar(left, left + width);
            }
            right = left + width;
            left = right + (bit == 0 ? SYMBOL_STEP : ELEMENT_STEP);
        }
    }
    return right;
}

void CBarCode39::Draw(CPrintTarget& target, int x, int top, int height) const {
    LayOut(x, [&](int left, int right) { target.Bar(left, top, right, top + height); });
}

int CBarCode39::Width() const {
    return LayOut(0, [](int, int) {});
}
