#include "tests/fuzz/ScratchFolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

CScratchFolder::CScratchFolder() {
    std::string strTemplate =
        (std::filesystem::temp_directory_path() / "rzkset-fuzz-XXXXXX").string();
    if (mkdtemp(strTemplate.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder in " + strTemplate);
    }
    m_strPath = strTemplate + "/";
}

CScratchFolder::~CScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_strPath, error);
}

std::string CScratchFolder::Write(const std::string& strName, std::string_view bytes) const {
    std::string strPath = m_strPath + strName;
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + strPath);
    }
    return strPath;
}

std::optional<std::string> CScratchFolder::Read(const std::string& strName) const {
    std::ifstream file(m_strPath + strName, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::string> CScratchFolder::Names() const {
    std::vector<std::string> aNames;
    for (const auto& entry : std::filesystem::directory_iterator(m_strPath)) {
        aNames.push_back(entry.path().filename().string());
    }
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

void CScratchFolder::Clear() const {
    for (const auto& entry : std::filesystem::directory_iterator(m_strPath)) {
        std::filesystem::remove_all(entry.path());
    }
}
