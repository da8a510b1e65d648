// 16-bit texts: formatting with sxprintf and the copy helpers.
#include "host/hxtext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <typename... Args> std::u16string format(const hxchar* pattern, Args... args)
{
    hxchar buffer[256];
    const int32_t written = sxprintf(buffer, pattern, args...);
    EXPECT_EQ(written, xcslen(buffer));
    return buffer;
}

TEST(TextFormat, Integers)
{
    EXPECT_EQ(format(u"%ld", 1234567L), u"1234567");
    EXPECT_EQ(format(u"%ld", 5000000000L), u"5000000000"); // %ld takes a whole long
    EXPECT_EQ(format(u"%d", -42), u"-42");
    EXPECT_EQ(format(u"%i|%u", 7, 4000000000u), u"7|4000000000");
    EXPECT_EQ(format(u"%x %X %#x", 255, 0xBEEF, 16), u"ff BEEF 0x10");
    EXPECT_EQ(format(u"%x", -1), u"ffffffff");
    EXPECT_EQ(format(u"%hd|%hu", 70000, -1), u"4464|65535");
}

TEST(TextFormat, WidthFlagsAndPrecision)
{
    EXPECT_EQ(format(u"[%5ld]", 42L), u"[   42]");
    EXPECT_EQ(format(u"[%-3d]", 7), u"[7  ]");
    EXPECT_EQ(format(u"[%05d]", -42), u"[-0042]");
    EXPECT_EQ(format(u"[%+d]", 3), u"[+3]");
    EXPECT_EQ(format(u"[%*d]", 4, 9), u"[   9]");
    EXPECT_EQ(format(u"[%.3d]", 5), u"[005]");
    EXPECT_EQ(format(u"[%2d]", 12345), u"[12345]"); // width never truncates
}

TEST(TextFormat, StringsCharactersAndPercent)
{
    EXPECT_EQ(format(u"100%%"), u"100%");
    EXPECT_EQ(format(u"<%s>", u"Grüße ☕"), u"<Grüße ☕>");
    EXPECT_EQ(format(u"[%-6s][%6s]", u"ab", u"cd"), u"[ab    ][    cd]");
    EXPECT_EQ(format(u"[%.2s]", u"abcdef"), u"[ab]");
    EXPECT_EQ(format(u"%c%c", u'Ω', 'k'), u"Ωk");
    EXPECT_EQ(format(u"no conversions"), u"no conversions");
    EXPECT_EQ(format(u""), u"");
}

TEST(TextFormat, SeveralArgumentsInOrder)
{
    EXPECT_EQ(format(u"%s %ld.%ld", u"Stillset", 1L, 1L), u"Stillset 1.1");
    EXPECT_EQ(format(u"%s: %ld of %d (%x) %s%%", u"Photos", 12L, 30, 0xAB, u"ok"), u"Photos: 12 of 30 (ab) ok%");
}

TEST(TextCopy, LengthCopyAndConcatenation)
{
    EXPECT_EQ(xcslen(u""), 0);
    EXPECT_EQ(xcslen(u"Grüße"), 5);
    EXPECT_EQ(xcslen(u"😀"), 2); // counts 16-bit characters, not code points
    EXPECT_EQ(xcslen(nullptr), 0);

    hxchar buffer[32] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(xcscpy(buffer, u"Ab"), buffer);
    EXPECT_EQ(std::u16string(buffer), u"Ab");
    EXPECT_EQ(xcscat(buffer, u"ç\n"), buffer);
    EXPECT_EQ(xcscat(buffer, u""), buffer);
    EXPECT_EQ(xcscat(buffer, u"d"), buffer);
    EXPECT_EQ(std::u16string(buffer), u"Abç\nd");
    EXPECT_EQ(xcscpy(buffer, u""), buffer);
    EXPECT_EQ(xcslen(buffer), 0);
}

} // namespace
