// Read-only ini file with the rules of the Windows profile-string functions
// (GetPrivateProfileString):
//   - the file is read as lines ended by LF, CR LF or CR; a UTF-8 byte order mark is skipped;
//   - blanks (space, tab and the other control characters) around a line are ignored;
//   - a line starting with '[' and holding a ']' opens a section; its name is what lies between
//     the '[' and the last ']', blanks around it trimmed. A '[' line without ']' is an ordinary line;
//   - other lines are keys when they hold '=': the key is the text before the first '=', the
//     value the text after it, both trimmed. Lines without '=' (comments among them) name no key
//     with a value and so give the default;
//   - the section and key asked for are trimmed too, and compared ignoring letter case;
//   - only the first section of the name is searched (a repeated section is not merged), and
//     the first key of the name in it wins;
//   - a value of two or more characters that starts and ends with the same quote (' or ") loses
//     those two quotes;
//   - a missing or unreadable file, section or key gives the default, unchanged.
#include "toolkit/IniFile.h"

#include "toolkit/Chars.h"
#include "toolkit/StringList.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
std::string_view Trim(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlankChar(s[b]))
        ++b;
    while (e > b && IsBlankChar(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The whole file; false when it is missing, not a regular file or cannot be read.
bool ReadWholeFile(const std::string &path, std::string &out)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return false;
    }
    out.clear();
    char buf[65536];
    for (;;)
    {
        ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        out.append(buf, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

// Calls visit(line) for each line of text; stops when visit returns false.
template <typename F> void ForEachLine(std::string_view text, F visit)
{
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n)
    {
        std::size_t start = p;
        while (p < n && text[p] != '\r' && text[p] != '\n')
            ++p;
        std::string_view line = text.substr(start, p - start);
        if (p < n && text[p] == '\r')
            ++p;
        if (p < n && text[p] == '\n')
            ++p;
        if (!visit(line))
            return;
    }
}

// The section name when the (trimmed) line is a section header.
bool SectionHeader(std::string_view line, std::string_view &name)
{
    if (line.empty() || line.front() != '[')
        return false;
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close == 0)
        return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}
} // namespace

cIniFile::cIniFile(std::string path) : Path(std::move(path)) {}

std::string cIniFile::UnquoteValue(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

std::string cIniFile::ReadStringFromText(std::string_view text, const std::string &section,
                                         const std::string &key, const std::string &def)
{
    const std::string_view wantSection = Trim(section);
    const std::string_view wantKey = Trim(key);
    bool inFirstMatch = false;
    bool sectionSeen = false;
    bool found = false;
    std::string result;
    ForEachLine(text,
                [&](std::string_view raw)
                {
                    std::string_view line = Trim(raw);
                    std::string_view name;
                    if (SectionHeader(line, name))
                    {
                        if (inFirstMatch)
                            return false; // the first section of the name has ended
                        if (!sectionSeen && cStringList::CompareText(name, wantSection) == 0)
                        {
                            sectionSeen = true;
                            inFirstMatch = true;
                        }
                        return true;
                    }
                    if (!inFirstMatch)
                        return true;
                    std::size_t eq = line.find('=');
                    if (eq == std::string_view::npos)
                        return true;
                    if (cStringList::CompareText(Trim(line.substr(0, eq)), wantKey) != 0)
                        return true;
                    result = UnquoteValue(Trim(line.substr(eq + 1)));
                    found = true;
                    return false;
                });
    return found ? result : def;
}

std::string cIniFile::ReadString(const std::string &section, const std::string &key,
                                 const std::string &def) const
{
    std::string text;
    if (!ReadWholeFile(Path, text))
        return def;
    return ReadStringFromText(text, section, key, def);
}
