// The BIO that joins the TLS object to the socket. It stands for the library's socket BIO with
// "no close": it never closes the descriptor; writes use MSG_NOSIGNAL, so a peer that has gone
// gives EPIPE instead of SIGPIPE; reads and writes never block (MSG_DONTWAIT), so every wait is
// a poll of our own with its own limit and the library answers "want read" or "want write"
// instead of blocking.
#pragma once

#include <openssl/types.h>

namespace net_internal
{
// A new BIO over fd, or null when the library cannot make one.
BIO *NewSocketBio(int fd);
} // namespace net_internal
