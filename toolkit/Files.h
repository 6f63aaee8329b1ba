// File helpers of the form toolkit's run-time, on POSIX files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

bool FileExists(const std::string &path);
bool DeleteFile(const std::string &path);
bool RenameFile(const std::string &from, const std::string &to); // fails when `to` exists
long long FileSize(const std::string &path);                     // -1 when missing

// Packed DOS date stamp (date in the high 16 bits, time in the low 16, local time, 2-second
// resolution) of a file's modification time; -1 when the file is missing.
std::int32_t FileAge(const std::string &path);
// Sets the file's modification time from a packed DOS date stamp; false on failure.
bool FileSetDate(const std::string &path, std::int32_t dosDate);
std::int32_t DateTimeToFileDate(double dateTime);
double FileDateToDateTime(std::int32_t dosDate); // 0 when the stamp holds no valid date and time
// As FileDateToDateTime, false when the stamp holds no valid date and time.
bool TryFileDateToDateTime(std::int32_t dosDate, double &out);

// Appends a line (CR LF added when the line is empty or does not end with LF), creating the
// file when missing. Retries opening 21 times, 100 ms apart, then gives up silently.
void AppendLineToFile(const std::string &path, const std::string &line);
inline constexpr int AppendLineTries = 21;
inline constexpr int AppendLineRetryMs = 100;

// Folder of a path with its trailing separator ("/a/b/" for "/a/b/c"), "" when none.
std::string ExtractFilePath(const std::string &path);
// What follows the last '/' or '\'.
std::string ExtractFileName(const std::string &path);
// Writes all `length` bytes to the descriptor (short writes and interruptions continued); false on
// an error, errno telling which.
bool WriteAll(int fd, const void *data, std::size_t length);
// The running executable's full path (from /proc/self/exe).
std::string ExecutablePath();
// The program's folder in the user's configuration, without a trailing '/':
// $XDG_CONFIG_HOME/Dorvane, else $HOME/.config/Dorvane; "" when neither is an absolute path.
// The two values come in as arguments so that tests need not change the environment.
std::string UserConfigFolder(const char *xdgConfigHome, const char *home);
