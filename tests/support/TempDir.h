// A fresh temporary folder, removed with everything in it when the object goes.
#pragma once

#include <string>

class cTempDir
{
public:
    // The folder is made under $TMPDIR (or /tmp); its name begins with `prefix`, which may hold
    // blanks. Path is empty when it could not be made.
    explicit cTempDir(const std::string &prefix = "dorvane_test_");
    ~cTempDir();
    cTempDir(const cTempDir &) = delete;
    cTempDir &operator=(const cTempDir &) = delete;

    // Full path of a file in the folder.
    std::string File(const std::string &name) const { return Path + name; }
    // Writes the bytes to the named file in the folder and returns its path.
    std::string Write(const std::string &name, const std::string &bytes) const;

    std::string Path; // with its trailing '/'
};

// Whole-file helpers; an unreadable file reads as "", a failed write returns false.
bool WriteFile(const std::string &path, const std::string &bytes);
std::string ReadFile(const std::string &path);
