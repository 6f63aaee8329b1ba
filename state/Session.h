// The program's session below the windows: the two server connections and the addresses they
// are opened with, the signed-in user's "Personnel" record, the provider's "ProviderEntities"
// record and the folder of the running executable. It lives on the GUI thread. Whatever sends a
// request asks the session for the connection at each use (directly or through a cLinkSource),
// so the main window's refresh replaces a connection in this one place.
#pragma once

#include "dataclient/LinkSource.h"
#include "state/ServerLinks.h"
#include "toolkit/StringList.h"

#include <memory>
#include <string>

class dbServerConnection;

class cSession
{
public:
    cSession();
    ~cSession();
    cSession(const cSession &) = delete;
    cSession &operator=(const cSession &) = delete;

    // The connections; null before the first Connect and after Close. A connection whose
    // attempt failed stays in place (not connected) until the next Connect or Close.
    dbServerConnection *DataServerConnection() const { return Data.get(); }
    dbServerConnection *FunctionServerConnection() const { return Function.get(); }
    // Sources that ask this session at each use.
    cLinkSource DataLink();
    cLinkSource FunctionLink();

    // Opens both connections to Addresses in place of the present ones, which are deleted
    // first; false (after telling the user through the Host) when either is not connected.
    bool Connect();
    // Deletes both connections.
    void Close();
    // Puts a connection in the place of one of the two and gives back the one it replaced.
    std::unique_ptr<dbServerConnection> ReplaceDataServerConnection(std::unique_ptr<dbServerConnection> link);
    std::unique_ptr<dbServerConnection>
    ReplaceFunctionServerConnection(std::unique_ptr<dbServerConnection> link);

    // Reads the "Personnel" record of the user with this e-mail address (index 4) into record,
    // as the sign-in does; false when there is no data connection or no such record.
    bool ReadPersonnel(const std::string &email, cStringList &record) const;
    // True when the self-update may download from the data server: RequirePinnedServer is off,
    // or the data connection checked the server's certificate against the pin.
    bool UpdateServerTrusted() const;

    // Folder of the running executable with its trailing separator.
    std::string ProgramFolder;
    // Where the two servers are, read from "Dorvane.ini" at start-up.
    cServerAddresses Addresses;
    // The signed-in user's "Personnel" record, one value a line (line n holds field n).
    cStringList PersonnelRecord;
    // The provider's "ProviderEntities" record, read by the main window's activation.
    cStringList ProviderRecord;

private:
    std::unique_ptr<dbServerConnection> Data;
    std::unique_ptr<dbServerConnection> Function;
};

// The program's one session.
cSession &Session();
