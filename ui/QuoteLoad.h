// The exchange of the quote load: the "getproviderquotes" request for a provider over the
// function server's link, and its reply read into a new case model.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <memory>
#include <string>

class dbServerConnection;

// The case model of the reply, or null when the exchange failed. A link known to be lost is
// opened again first (the text exchange itself never reconnects), and a reply that broke off
// counts as failed (the link is then marked lost); the text of an earlier reply is never read.
std::shared_ptr<const cProviderQuotes> FetchProviderQuotes(dbServerConnection *link,
                                                           const std::string &providerKey);
