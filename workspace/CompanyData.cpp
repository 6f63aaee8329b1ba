#include "workspace/CompanyData.h"

#include "json/cJSON.h"

cStringList CompanyUpdateLines(const std::function<std::string(int field)> &text)
{
    cStringList lines;
    for (int field : CompanyFieldsInSaveOrder)
        lines.Add("f" + std::to_string(field) + "=" + text(field));
    return lines;
}

std::string PositionUpdateRequest(const std::string &providerKey)
{
    cJSON request;
    request.SetValue("ServerCommand", "updateproviderlatitudelongitude");
    request.SetValue("ProviderSeq", providerKey);
    return request.ToText();
}

std::string PositionUpdateError(std::string_view replyText)
{
    const cJSON reply(replyText);
    return reply.GetValue("Error");
}

std::string PositionUpdateMessage(const std::string &error)
{
    return "There was a problem updating the provider's zip code:\r" + error;
}
