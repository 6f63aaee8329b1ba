// Result codes and connection states shared by every transport.
#pragma once

constexpr int SOCK_SUCCESS = 0;
constexpr int SOCK_ERROR = -1;
constexpr int SOCK_TIMEOUT = -2;
constexpr int SOCK_DISCONNECTED = -3;

constexpr int SOCK_STATE_DISCONNECTED = 0;
constexpr int SOCK_STATE_CONNECTED = 1;
constexpr int SOCK_STATE_ERROR = -1;

// A POSIX descriptor stands for the socket handle; -1 means "no socket".
using SOCKET = int;
constexpr SOCKET INVALID_SOCKET = -1;
