#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A folder of its own under the temporary folder (TMPDIR) for the files that one fuzz target
// writes and reads back; removed with everything in it when the target ends normally.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder's path, ending in "/".
    const std::string& Path() const { return m_strPath; }
    // The path of a file in the folder, after writing the bytes to it.
    std::string Write(const std::string& strName, std::string_view bytes) const;
    // The whole file, or nullopt when it cannot be read.
    std::optional<std::string> Read(const std::string& strName) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;
    // Removes everything in the folder.
    void Clear() const;

private:
    std::string m_strPath;
};
