// The line-break encoding of field values, alone and inside the comma-text that carries it.
#include "protocol/Protocol.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>

TEST(LineBreaks, OnlyCrLfPairsTravelAsBars)
{
    struct
    {
        const char *Value, *Sent;
    } cases[] = {
        {"", ""},
        {"one line", "one line"},
        {"a\r\nb", "a||b"},
        {"a\r\n\r\nb\r\n", "a||||b||"},
        {"a\nb", "a\nb"},       // a lone LF is left as it is
        {"a\rb", "a\rb"},       // and so is a lone CR
        {"a\n\r\nb", "a\n||b"}, // LF before a pair
        {"a\r\r\nb", "a\r||b"}, // CR before a pair
        {"a\n\rb", "a\n\rb"},   // LF CR is no pair
        {"|a|", "|a|"},         // single bars are plain text
    };
    for (const auto &c : cases)
    {
        EXPECT_EQ(EncodeLineBreaks(c.Value), c.Sent) << c.Value;
        EXPECT_EQ(DecodeLineBreaks(c.Sent), c.Value) << c.Sent;
    }
    // Bars that were typed read back as a line break: the encoding cannot tell them apart.
    EXPECT_EQ(DecodeLineBreaks("a||b"), "a\r\nb");
    EXPECT_EQ(DecodeLineBreaks("|||"), "\r\n|");
}

TEST(LineBreaks, ValuesWithLoneBreaksSurviveTheCommaText)
{
    const std::string values[] = {"a\nb", "a\rb", "x\r\ny\nz\r", "\n", "say \"hi\",\nthen go"};
    cStringList sent;
    for (const std::string &value : values)
        sent.Add("f12=" + EncodeLineBreaks(value));
    cStringList received;
    received.SetCommaText(sent.CommaText());
    ASSERT_EQ(received.Count(), static_cast<int>(std::size(values)));
    for (int i = 0; i < received.Count(); ++i)
        EXPECT_EQ(DecodeLineBreaks(received.ValueFromIndex(i)), values[i]) << i;
}
