// A quote's answer as the "CaseNeedsQuote" record holds it, and the check that keeps two staff
// members of one provider from overwriting each other's answers unseen: before an answer is
// written the record is read again and compared with what the page showed.
#pragma once

#include <functional>
#include <string>

struct cQuoteAnswer
{
    std::string Member;  // f12: the member who answered
    std::string Price;   // f13
    std::string State;   // f14: "A" accepted, "R" declined, empty while unanswered
    std::string Reason;  // f15: the reject reason's code
    std::string Listed;  // f16: "N" when hidden
    std::string Comment; // f1001

    bool operator==(const cQuoteAnswer &) const = default;
};

// The fields of an answer, as a field list of a read.
inline constexpr const char *QuoteAnswerFields = "f12,f13,f14,f15,f16,f1001";

// The answer from a record's values; field("f13") gives the value of field 13.
cQuoteAnswer QuoteAnswerFrom(const std::function<std::string(const std::string &field)> &field);

// True when the stored answer (current) is not what the page showed (shown). A price or comment
// that equals what the page holds now (typedPrice, typedComment) is not a change by someone
// else: the page itself writes them when the user leaves the edit.
bool AnsweredMeanwhile(const cQuoteAnswer &shown, const cQuoteAnswer &current, const std::string &typedPrice,
                       const std::string &typedComment);

// The key of the member who gave the current answer, or empty when the record does not tell:
// a hide writes no member, so a quote hidden meanwhile names nobody.
std::string AnsweringMember(const cQuoteAnswer &shown, const cQuoteAnswer &current);

// The notice for an answer given meanwhile: who (memberName, empty when unknown) did what, and
// since when the page was open (openedAt, as "hh:nn").
std::string AnsweredMeanwhileText(const cQuoteAnswer &current, const std::string &memberName,
                                  const std::string &openedAt);
inline constexpr const char *AnsweredMeanwhileCaption = "Answered meanwhile";

// A member's name as "first last" from the two fields, either of which may be empty.
std::string MemberName(const std::string &first, const std::string &last);
