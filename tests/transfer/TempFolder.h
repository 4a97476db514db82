#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

// A fresh folder for one test, removed with everything in it afterwards.
class CTempFolder {
public:
    CTempFolder() {
        std::string strTemplate =
            (std::filesystem::temp_directory_path() / "rzkset-transfer-XXXXXX").string();
        m_strPath = mkdtemp(strTemplate.data());
        m_strPath += "/";
    }
    ~CTempFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_strPath, error);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // The folder, ending in "/".
    const std::string& Path() const { return m_strPath; }
    std::string operator/(const std::string& strName) const { return m_strPath + strName; }

private:
    std::string m_strPath;
};

inline void WriteBytes(const std::string& strPath, const std::string& bytes) {
    std::ofstream(strPath, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& strPath) {
    std::ifstream stream(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// Names of the entries of a folder, so tests also see leftover temporary files.
inline std::set<std::string> FolderEntries(const std::string& strFolder) {
    std::set<std::string> aNames;
    for (const auto& entry : std::filesystem::directory_iterator(strFolder)) {
        aNames.insert(entry.path().filename().string());
    }
    return aNames;
}
