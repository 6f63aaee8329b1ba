// The guard around every socket operation of the data client: an exception from the socket
// layer counts as a failed operation (SOCK_ERROR), so none leaves a request, the constructor or
// a reconnection. While the operation waits for its server, the windows are repainted every
// RepaintEveryMs (paint only, through the Host), so a slow server never leaves them unpainted.
#pragma once

#include "net/SocketCodes.h"
#include "net/SocketWait.h"

inline constexpr int RepaintEveryMs = 50;

// The watch of every wait of a socket operation: the host repaints the windows.
void RepaintWhileWaiting();

template <typename Call> int SocketCall(Call &&call) noexcept
{
    try
    {
        net::cScopedWaitWatch repainting(&RepaintWhileWaiting, RepaintEveryMs);
        return call();
    }
    catch (...)
    {
        return SOCK_ERROR;
    }
}
