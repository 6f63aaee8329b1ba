// Internal diagnostic log of the transport layer. Every failure inside a socket operation names
// itself here before it becomes the operation's result. Off by default: nothing is written until
// SetSocketLogEnabled(true). The sink defaults to standard error; tests may install their own.
#pragma once

namespace net_log
{
using Sink = void (*)(const char *message);

void SetEnabled(bool enabled);
bool Enabled();
// nullptr restores the standard-error sink.
void SetSink(Sink sink);
// Writes `message` when enabled; safe from any thread.
void Write(const char *message);
} // namespace net_log
