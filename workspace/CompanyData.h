// The provider's company data as " Who We Are " edits them: the fields of its "ProviderEntities"
// record, the lines a save writes, and the server command that recomputes its position from the
// zip code.
#pragma once

#include "toolkit/StringList.h"

#include <functional>
#include <string>
#include <string_view>

// The fields (and lines of the provider's record) a save writes, in the order it writes them.
inline constexpr int CompanyFieldsInSaveOrder[] = {10, 11, 12, 13, 14, 15, 16, 18, 21, 20, 23, 26};

// name=value lines "fN=text" in the save order, text(N) giving field N's text as typed. An empty
// text stays as a line ending in "=", so an emptied edit clears what is stored.
cStringList CompanyUpdateLines(const std::function<std::string(int field)> &text);

// The "updateproviderlatitudelongitude" command for the provider, as JSON text.
std::string PositionUpdateRequest(const std::string &providerKey);
// The "Error" text of the command's reply; empty on success.
std::string PositionUpdateError(std::string_view replyText);
// The message shown when the position could not be updated.
std::string PositionUpdateMessage(const std::string &error);
inline constexpr const char *PositionUpdateCaption = "Error updating zip code";
// The error given when the function server did not answer at all.
inline constexpr const char *PositionUpdateUnanswered = "The server did not answer.";
