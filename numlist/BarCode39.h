#pragma once

#include <string_view>
#include <vector>

class CPrintTarget;

// Code 39 symbols of a text and their bars. Draw needs no quiet zone of its own: the caller
// leaves room around the symbol.
class CBarCode39 {
public:
    // A character's symbol value is its position in this string.
    static constexpr std::string_view CHARACTER_SET = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    // The start and stop character "*".
    static constexpr int START_STOP = 43;

    virtual ~CBarCode39() = default;

    // Start character, one symbol per byte of the text, the modulo 43 check character when
    // asked for, stop character. False, with no symbols kept, when a byte is outside the
    // character set (lower-case letters, other punctuation, any byte of a double-byte
    // character).
    bool Encode(std::string_view text, bool bCheckCharacter);
    // Bars of the symbols from x rightward, each from top down over the height; nothing
    // when there are no symbols.
    void Draw(CPrintTarget& target, int x, int top, int height) const;
    // Distance from the left edge of the first bar to the right edge of the last one, as
    // Draw passes them to the target (the outline adds half a unit on either side); 0 when
    // there are no symbols.
    int Width() const;

    const std::vector<int>& Symbols() const { return m_aSymbols; }
    // The nine elements of a symbol, bit 8 first; a set bit is a wide element, the even bits
    // are bars and the odd bits spaces.
    static unsigned Pattern(int symbol);

private:
    // Walks the elements from x, calls onBar(left, right) for each bar and returns the right
    // edge of the last one.
    template <typename BarFunction>
    int LayOut(int x, BarFunction onBar) const;

    std::vector<int> m_aSymbols;
};
