// Character classes the text readers share: ASCII only, whatever the locale.
#pragma once

inline bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A blank as the ini and comma-text rules count it: a space or any control character.
inline bool IsBlankChar(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}
