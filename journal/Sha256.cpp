#include "journal/Sha256.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::array<uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t Rotate(uint32_t nValue, int nBits) {
    return (nValue >> nBits) | (nValue << (32 - nBits));
}

void Compress(std::array<uint32_t, 8>& aState, const unsigned char* pBlock) {
    std::array<uint32_t, 64> w{};
    for (size_t i = 0; i < 16; ++i) {
        w[i] = uint32_t{pBlock[i * 4]} << 24 | uint32_t{pBlock[i * 4 + 1]} << 16 |
               uint32_t{pBlock[i * 4 + 2]} << 8 | uint32_t{pBlock[i * 4 + 3]};
    }
    for (size_t i = 16; i < 64; ++i) {
        uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<uint32_t, 8> v = aState;
    for (size_t i = 0; i < 64; ++i) {
        uint32_t s1 = Rotate(v[4], 6) ^ Rotate(v[4], 11) ^ Rotate(v[4], 25);
        uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
        uint32_t t1 = v[7] + s1 + choice + kRound[i] + w[i];
        uint32_t s0 = Rotate(v[0], 2) ^ Rotate(v[0], 13) ^ Rotate(v[0], 22);
        uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (size_t i = 0; i < 8; ++i) {
        aState[i] += v[i];
    }
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
    std::array<uint32_t, 8> aState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    size_t nWhole = bytes.size() / 64 * 64;
    const auto* pBytes = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t nOffset = 0; nOffset < nWhole; nOffset += 64) {
        Compress(aState, pBytes + nOffset);
    }
    // The tail, the 0x80 end mark and the length in bits fill one or two last blocks.
    std::array<unsigned char, 128> aTail{};
    size_t nTail = bytes.size() - nWhole;
    for (size_t i = 0; i < nTail; ++i) {
        aTail[i] = pBytes[nWhole + i];
    }
    aTail[nTail] = 0x80;
    size_t nTailBlocks = nTail < 56 ? 64 : 128;
    uint64_t nBits = static_cast<uint64_t>(bytes.size()) * 8;
    for (size_t i = 0; i < 8; ++i) {
        aTail[nTailBlocks - 1 - i] = static_cast<unsigned char>(nBits >> (i * 8));
    }
    for (size_t nOffset = 0; nOffset < nTailBlocks; nOffset += 64) {
        Compress(aState, aTail.data() + nOffset);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string strHex;
    for (uint32_t nWord : aState) {
        for (int nShift = 28; nShift >= 0; nShift -= 4) {
            strHex += kDigits[(nWord >> nShift) & 0xF];
        }
    }
    return strHex;
}
