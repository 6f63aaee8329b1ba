#include "workspace/CsvExport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string AwardedCasesCsv(const std::vector<std::unique_ptr<cCaseQuoteObject>> &awarded)
{
    std::string csv = "Delivery Date,Hospital,Case Number,Category,Description\r\n";
    for (const auto &quote : awarded)
    {
        const cCaseObject empty;
        const cCaseObject &caseObject = quote->AwardedCase ? *quote->AwardedCase : empty;
        csv += CsvField(quote->RequiredDate) + ',' + CsvField(caseObject.HospitalName) + ',' +
               CsvField(caseObject.CaseNumber) + ',' + CsvField(quote->CategoryName) + ',' +
               CsvField(quote->NeedDescription) + "\r\n";
    }
    return csv;
}

bool WriteFileReplacing(const std::string &path, std::string_view contents, std::string &error)
{
    error.clear();
    if (path.empty())
    {
        error = "no file name";
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
    {
        error = std::strerror(errno);
        return false;
    }
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < contents.size())
    {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += static_cast<std::size_t>(n);
    }
    if (ok)
        ok = ::fsync(fd) == 0;
    if (!ok)
        error = std::strerror(errno);
    if (::close(fd) != 0 && ok)
    {
        ok = false;
        error = std::strerror(errno);
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        ok = false;
        error = std::strerror(errno);
    }
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}
