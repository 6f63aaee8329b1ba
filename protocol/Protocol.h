// What the data client and the data server agree on: the request frame and its limits, the
// message codes, and how line breaks inside a field value travel. Used by both sides, so that
// neither can drift from the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace protocol
{
// A request frame: a header of three little-endian 32-bit numbers (body length, message code,
// message argument), then the body: its text and one NUL, the only one.
inline constexpr std::uint32_t FrameHeaderSize = 12;
inline constexpr std::uint32_t MaxBodyLength = 49989; // text + NUL
// The longest reply the client reads; the server refuses to build a longer one.
inline constexpr std::size_t MaxReplyLength = 64u * 1024u * 1024u;

// Message codes, and the arguments that pick a request within one.
inline constexpr std::int32_t MsgHandshake = 1;
inline constexpr std::int32_t MsgDate = 2;
inline constexpr std::int32_t MsgTable = 31001;
inline constexpr std::int32_t ArgAddRecord = 20001;
inline constexpr std::int32_t ArgDeleteRecord = 20002;
inline constexpr std::int32_t ArgReadRecord = 20003;
inline constexpr std::int32_t ArgUpdateRecord = 20004;
inline constexpr std::int32_t ArgReadFields = 20013;
inline constexpr std::int32_t MsgFile = 31002;
inline constexpr std::int32_t ArgDownloadFile = 101;
inline constexpr std::int32_t ArgFileInfo = 103;
inline constexpr std::int32_t MsgBatch = 20002;
} // namespace protocol

// Field values travel on one line: each CR LF pair is written as "||" and "||" reads back as
// CR LF. A CR or LF on its own is left as it is: the comma-text around the value quotes it, so
// it arrives unchanged, and a value read back equals the value written.
std::string EncodeLineBreaks(std::string_view text);
std::string DecodeLineBreaks(std::string_view text);
