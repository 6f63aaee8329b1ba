// Where a request goes: a function asked for the connection at each use, so that whoever holds it
// follows a connection that was replaced (the main window's refresh makes new ones).
#pragma once

#include <functional>

class dbServerConnection;

// Answers the connection to use now; may answer null (no connection).
using cLinkSource = std::function<dbServerConnection *()>;

// A source that always answers the same connection.
inline cLinkSource FixedLink(dbServerConnection *connection)
{
    return [connection] { return connection; };
}
