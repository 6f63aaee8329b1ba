#include "workspace/QuoteAnswer.h"

cQuoteAnswer QuoteAnswerFrom(const std::function<std::string(const std::string &field)> &field)
{
    return {field("f12"), field("f13"), field("f14"), field("f15"), field("f16"), field("f1001")};
}

bool AnsweredMeanwhile(const cQuoteAnswer &shown, const cQuoteAnswer &current, const std::string &typedPrice,
                       const std::string &typedComment)
{
    cQuoteAnswer own = current;
    if (own.Price == typedPrice)
        own.Price = shown.Price;
    if (own.Comment == typedComment)
        own.Comment = shown.Comment;
    return !(own == shown);
}

std::string AnsweringMember(const cQuoteAnswer &shown, const cQuoteAnswer &current)
{
    if (current.Listed == "N" && shown.Listed != "N")
        return std::string();
    return current.Member;
}

std::string MemberName(const std::string &first, const std::string &last)
{
    if (first.empty() || last.empty())
        return first + last;
    return first + " " + last;
}

namespace
{
std::string WhatWasDone(const cQuoteAnswer &current)
{
    std::string done;
    if (current.Listed == "N")
        done = "removed it from the list";
    else if (current.State == "A")
        done = "accepted it";
    else if (current.State == "R")
        done = "declined it";
    else
        done = "changed its answer";
    std::string details;
    if (current.State == "A" && !current.Price.empty())
        details = "price " + current.Price;
    if (!current.Comment.empty())
        details += (details.empty() ? "comment \"" : ", comment \"") + current.Comment + "\"";
    return details.empty() ? done : done + " (" + details + ")";
}
} // namespace

std::string AnsweredMeanwhileText(const cQuoteAnswer &current, const std::string &memberName,
                                  const std::string &openedAt)
{
    const std::string who = memberName.empty() ? "another member of your staff" : memberName;
    return "While you had this request open (since " + openedAt + "), " + who + " " + WhatWasDone(current) +
           ".\r\rNothing was written. The page now shows the current answer.";
}
