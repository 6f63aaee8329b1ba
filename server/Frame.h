// The request frame of the data server: a 12-byte header (BodyLength, MessageCode, MessageArg,
// little-endian) and a body of BodyLength bytes ending with its only NUL. No I/O here.
#pragma once

#include "protocol/Protocol.h"

#include <cstdint>
#include <string_view>

struct cFrameHeader
{
    std::uint32_t BodyLength = 0;
    std::int32_t Code = 0;
    std::int32_t Arg = 0;
};

using protocol::FrameHeaderSize;
using protocol::MaxBodyLength;

// False when the body length is 0 or above MaxBodyLength: the connection is then closed.
bool ParseFrameHeader(const unsigned char *bytes, cFrameHeader &header);
// The body's text: false unless the last byte is the NUL and no other byte is.
bool FrameBodyText(const char *body, std::uint32_t length, std::string_view &text);
