#include "platform/Digest.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

std::string HexOf(const unsigned char* pDigest, unsigned int nDigest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string strHex;
    strHex.reserve(nDigest * 2);
    for (unsigned int i = 0; i < nDigest; ++i) {
        strHex += kDigits[pDigest[i] >> 4];
        strHex += kDigits[pDigest[i] & 0xF];
    }
    return strHex;
}

// Feeds the whole file to the context; false on a read error.
bool HashDescriptor(int nFile, EVP_MD_CTX& context, int64_t& nSize) {
    // Large enough that the calls cost nothing beside the hashing, small enough to stay in the
    // processor's cache between the read and the hash.
    std::vector<unsigned char> aBuffer(128 * 1024);
    while (true) {
        ssize_t nRead = read(nFile, aBuffer.data(), aBuffer.size());
        if (nRead < 0 && errno == EINTR) {
            continue;
        }
        if (nRead <= 0) {
            return nRead == 0;
        }
        if (EVP_DigestUpdate(&context, aBuffer.data(), static_cast<size_t>(nRead)) != 1) {
            return false;
        }
        nSize += nRead;
    }
}

}  // namespace

// libcrypto picks the fastest SHA-256 the processor offers (SHA extensions, AVX2).
std::string Sha256Hex(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> aDigest{};
    unsigned int nDigest = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), aDigest.data(), &nDigest, EVP_sha256(), nullptr) !=
        1) {
        // No name is better than a wrong one: the history refuses to keep bytes under an empty
        // name.
        return {};
    }
    return HexOf(aDigest.data(), nDigest);
}

std::optional<FileDigest> Sha256OfFile(const std::string& strPath) {
    DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        return std::nullopt;
    }
    int nFile = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFile < 0) {
        return std::nullopt;
    }
    FileDigest digest;
    bool bRead = HashDescriptor(nFile, *context, digest.nSize);
    close(nFile);
    std::array<unsigned char, EVP_MAX_MD_SIZE> aDigest{};
    unsigned int nDigest = 0;
    if (!bRead || EVP_DigestFinal_ex(context.get(), aDigest.data(), &nDigest) != 1) {
        return std::nullopt;
    }
    digest.strSha256 = HexOf(aDigest.data(), nDigest);
    return digest;
}
