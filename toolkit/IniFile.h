// Read-only ini file with the lookup rules of the Windows profile-string functions: section and
// key names matched without regard to letter case, the first match wins, blanks around keys and
// values trimmed, a value in matching quotes unquoted, and the default for a missing file,
// section or key. It never creates or writes a file.
#pragma once

#include <string>
#include <string_view>

class cIniFile
{
public:
    explicit cIniFile(std::string path);
    std::string ReadString(const std::string &section, const std::string &key, const std::string &def) const;
    const std::string &FileName() const { return Path; }

    // The same lookup over the text of an ini file instead of a file.
    static std::string ReadStringFromText(std::string_view text, const std::string &section,
                                          const std::string &key, const std::string &def);
    // A value of two or more characters enclosed in matching quotes (' or ") without them.
    static std::string UnquoteValue(std::string_view value);

private:
    std::string Path;
};
