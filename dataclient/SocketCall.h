// The guard around every socket operation of the data client: an exception from the socket
// layer counts as a failed operation (SOCK_ERROR), so none leaves a request, the constructor or
// a reconnection.
#pragma once

#include "net/SocketCodes.h"

template <typename Call> int SocketCall(Call &&call) noexcept
{
    try
    {
        return call();
    }
    catch (...)
    {
        return SOCK_ERROR;
    }
}
