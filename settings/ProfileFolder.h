#pragma once

#include <string>
#include <vector>

// The machine profiles in the folder Data beside the program: one file "<name>.txt" each, the
// name being the whole identity of a profile. Names are UTF-8, as the file system holds them.
// A name is a file name and nothing more: it never holds "/" or a NUL byte and is never "." or
// "..", so no command reaches outside the folder. Names that differ only in the case of their
// letters count as the same name, so that the folder stays usable when it is copied to a file
// system that does not tell them apart.
class CProfileFolder {
public:
    // strFolder ends in "/".
    explicit CProfileFolder(std::string strFolder);

    // The names of the profile files, in the byte order of their code page 932 form.
    std::vector<std::string> Names() const;
    std::string PathOf(const std::string& strName) const;
    // Whether a profile of this name, or of a name that differs only in case, exists.
    bool Contains(const std::string& strName) const;
    // One more than the largest INDEX of the profiles (each read whatever its load result),
    // 1 without any.
    int NextIndex() const;

    static bool IsValidName(const std::string& strName);
    // A profile with every default and the INDEX given; false when the name is not valid or
    // the file could not be written.
    bool Create(const std::string& strName, int nIndex) const;
    // Gives the profile another name; never replaces another profile. False when the name is
    // not valid, another profile has it, or the file could not be renamed.
    bool Rename(const std::string& strOldName, const std::string& strNewName) const;
    bool Remove(const std::string& strName) const;

private:
    std::string m_strFolder;
};
