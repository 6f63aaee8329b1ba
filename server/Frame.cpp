#include "server/Frame.h"

#include <cstring>

namespace
{
std::uint32_t ReadLe32(const unsigned char *p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
} // namespace

bool ParseFrameHeader(const unsigned char *bytes, cFrameHeader &header)
{
    header.BodyLength = ReadLe32(bytes);
    header.Code = static_cast<std::int32_t>(ReadLe32(bytes + 4));
    header.Arg = static_cast<std::int32_t>(ReadLe32(bytes + 8));
    return header.BodyLength >= 1 && header.BodyLength <= MaxBodyLength;
}

bool FrameBodyText(const char *body, std::uint32_t length, std::string_view &text)
{
    if (length == 0 || body[length - 1] != '\0')
        return false;
    if (std::memchr(body, '\0', length - 1) != nullptr)
        return false;
    text = std::string_view(body, length - 1);
    return true;
}
