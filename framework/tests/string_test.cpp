// CString: the edge cases that callers lean on (clamping, not-found results, buffers that
// Win32 APIs fill, formatting without truncation). Builds natively and under MinGW.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/CString.h"
#include "framework/TextBytes.h"

TEST(CString, ConstructionAndEmptiness)
{
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(CString("abc", 2), "ab");
    EXPECT_EQ(CString('x', 3), "xxx");
    EXPECT_EQ(CString('x', -1).GetLength(), 0);
    CString s("abc");
    EXPECT_EQ(s.GetLength(), 3);
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(static_cast<const char*>(s), "");
}

TEST(CString, ComparisonBothWaysAndCaseless)
{
    CString s("Video");
    EXPECT_TRUE(s == "Video");
    EXPECT_TRUE("Video" == s);
    EXPECT_TRUE(s != "video");
    EXPECT_TRUE(s < "Vz");
    EXPECT_TRUE("A" < s);
    EXPECT_TRUE(s >= CString("Video"));
    EXPECT_EQ(s.Compare("Videos"), -1);
    EXPECT_EQ(s.CompareNoCase("VIDEO"), 0);
    EXPECT_LT(s.CompareNoCase("videos"), 0);
    EXPECT_GT(CString("b").CompareNoCase("A"), 0);
    // Comparison goes by content, not by pointer.
    char buffer[8] = "Video";
    EXPECT_TRUE(s == buffer);
}

TEST(CString, ConcatenationWithEveryOperandKind)
{
    CString dir("C:\\out");
    CString path = dir + '\\' + "clip" + CString(".mp4");
    EXPECT_EQ(path, "C:\\out\\clip.mp4");
    EXPECT_EQ("[" + dir + "]", "[C:\\out]");
    EXPECT_EQ('<' + CString("a"), "<a");
    path += "";
    path += static_cast<const char*>(nullptr);
    EXPECT_EQ(path.GetLength(), 15);
    CString self("ab");
    self += self;
    EXPECT_EQ(self, "abab");
}

TEST(CString, MidLeftRightClampOutOfRangeArguments)
{
    CString s("0123456789");
    EXPECT_EQ(s.Mid(3), "3456789");
    EXPECT_EQ(s.Mid(3, 2), "34");
    EXPECT_EQ(s.Mid(8, 5), "89");
    EXPECT_EQ(s.Mid(12), "");
    EXPECT_EQ(s.Mid(-2, 3), "012");
    EXPECT_EQ(s.Mid(2, -1), "");
    EXPECT_EQ(s.Left(3), "012");
    EXPECT_EQ(s.Left(30), s);
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Right(3), "789");
    EXPECT_EQ(s.Right(30), s);
    EXPECT_EQ(s.Right(0), "");
    EXPECT_EQ(CString("abc123").SpanIncluding("abc"), "abc");
    EXPECT_EQ(CString("name.ext").SpanExcluding("."), "name");
}

TEST(CString, FindAndReverseFind)
{
    CString s("a.b.c");
    EXPECT_EQ(s.Find('.'), 1);
    EXPECT_EQ(s.Find('.', 2), 3);
    EXPECT_EQ(s.Find('.', 4), -1);
    EXPECT_EQ(s.Find('.', 99), -1);
    EXPECT_EQ(s.Find('.', -1), -1);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find("b.c"), 2);
    EXPECT_EQ(s.Find("b", 3), -1);
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.ReverseFind('.'), 3);
    EXPECT_EQ(s.ReverseFind('#'), -1);
    EXPECT_EQ(CString().ReverseFind('.'), -1);
    EXPECT_EQ(s.FindOneOf("cb"), 2);
}

TEST(CString, ReplaceCountsAndHandlesGrowthShrinkAndOverlap)
{
    CString s("%s and %s");
    EXPECT_EQ(s.Replace("%s", "<long text>"), 2);
    EXPECT_EQ(s, "<long text> and <long text>");
    EXPECT_EQ(s.Replace("<long text>", ""), 2);
    EXPECT_EQ(s, " and ");
    CString aaa("aaaa");
    EXPECT_EQ(aaa.Replace("aa", "a"), 2); // no re-scan of replaced text
    EXPECT_EQ(aaa, "aa");
    EXPECT_EQ(aaa.Replace("", "x"), 0);
    EXPECT_EQ(aaa.Replace("zz", "x"), 0);
    EXPECT_EQ(aaa, "aa");
    CString slashes("a/b/c");
    EXPECT_EQ(slashes.Replace('/', '\\'), 2);
    EXPECT_EQ(slashes, "a\\b\\c");
}

TEST(CString, InPlaceEdits)
{
    CString s("  Hello World \t");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ(s, "Hello World");
    s.MakeUpper();
    EXPECT_EQ(s, "HELLO WORLD");
    s.MakeLower();
    EXPECT_EQ(s, "hello world");
    EXPECT_EQ(s.Remove('o'), 2);
    EXPECT_EQ(s, "hell wrld");
    EXPECT_EQ(s.Insert(0, '>'), 10);
    EXPECT_EQ(s.Insert(99, "<"), 11);
    EXPECT_EQ(s, ">hell wrld<");
    EXPECT_EQ(s.Delete(1, 5), 6);
    EXPECT_EQ(s, ">wrld<");
    EXPECT_EQ(s.Delete(4, 99), 4);
    EXPECT_EQ(s.Delete(99), 4);
    CString zeros("000120");
    zeros.TrimLeft('0');
    zeros.TrimRight('0');
    EXPECT_EQ(zeros, "12");
    CString allZero("000");
    allZero.TrimRight('0');
    EXPECT_TRUE(allZero.IsEmpty());
    s.SetAt(0, '!');
    EXPECT_EQ(s[0], '!');
    EXPECT_EQ(s.GetAt(3), 'l');
}

TEST(CString, FormatHasNoLengthLimitAndMayReferToItself)
{
    CString s;
    s.Format("%02d:%02d:%02d", 1, 2, 3);
    EXPECT_EQ(s, "01:02:03");
    const std::string big(5000, 'x');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    CString name("clip");
    name.Format("%s_%d.avi", static_cast<const char*>(name), 7);
    EXPECT_EQ(name, "clip_7.avi");
    s.Format("%.1f%%", 12.34);
    EXPECT_EQ(s, "12.3%");
}

TEST(CString, BufferFilledByAnApiKeepsTextAndTakesNewLength)
{
    CString s("keep");
    char* p = s.GetBuffer(260);
    EXPECT_STREQ(p, "keep");
    std::strcpy(p, "C:\\Program Files\\Varnello\\");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 26);
    EXPECT_EQ(s.Right(9), "Varnello\\");

    p = s.GetBuffer(0); // asking for less keeps the whole text
    EXPECT_EQ(std::strlen(p), 26u);
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, "C:");

    p = s.GetBufferSetLength(3);
    p[2] = '\\';
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "C:\\");

    // An API that wrote nothing leaves an empty string, not garbage.
    CString filled;
    filled.GetBuffer(100);
    filled.ReleaseBuffer();
    EXPECT_TRUE(filled.IsEmpty());
}

// --- byte limits on multi-byte text ------------------------------------------------------

namespace {

// Shift-JIS lead bytes: the two-byte code page of Japanese Windows before UTF-8.
bool IsShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

struct ShiftJisCodePage {
    ShiftJisCodePage() { textbytes::UseDoubleByteCodePage(IsShiftJisLeadByte); }
    ~ShiftJisCodePage() { textbytes::UseDoubleByteCodePage(nullptr); }
};

} // namespace

TEST(TextBytes, CutsUtf8OnlyBetweenCharacters)
{
    const std::string trip = "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE6\x97\x85"; // 日本の旅, 3 bytes each
    EXPECT_EQ(textbytes::CutToFit(trip, 12), trip);
    EXPECT_EQ(textbytes::CutToFit(trip, 8), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(textbytes::CutToFit(trip, 6), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(textbytes::CutToFit(trip, 2), "");
    // Greek and Cyrillic take two bytes, an emoji four, é two after ASCII.
    EXPECT_EQ(textbytes::CutToFit("\xCE\xB1\xCE\xB2", 3), "\xCE\xB1");
    EXPECT_EQ(textbytes::CutToFit("\xD0\x9C\xD0\xB8\xD1\x80", 5), "\xD0\x9C\xD0\xB8");
    EXPECT_EQ(textbytes::CutToFit("a\xF0\x9F\x8E\xAC", 4), "a");
    EXPECT_EQ(textbytes::CutToFit("Caf\xC3\xA9", 4), "Caf");
    // A byte that starts no well-formed character counts as one.
    EXPECT_EQ(textbytes::CutToFit("ab\xE6x", 3), "ab\xE6");

    char buffer[8];
    EXPECT_FALSE(textbytes::CopyToBuffer(buffer, sizeof(buffer), trip.c_str()));
    EXPECT_STREQ(buffer, "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_TRUE(textbytes::CopyToBuffer(buffer, sizeof(buffer), "\xCE\xB1\xCE\xB2"));
    EXPECT_STREQ(buffer, "\xCE\xB1\xCE\xB2");
}

TEST(TextBytes, DropsACharacterThatABufferCutInHalf)
{
    const std::string trip = "\xE6\x97\xA5\xE6\x9C\xAC";
    EXPECT_EQ(textbytes::DropBrokenEnd(trip), trip);
    EXPECT_EQ(textbytes::DropBrokenEnd(trip.substr(0, 5)), trip.substr(0, 3));
    EXPECT_EQ(textbytes::DropBrokenEnd(trip.substr(0, 4)), trip.substr(0, 3));
    EXPECT_EQ(textbytes::DropBrokenEnd("a\xF0\x9F\x8E"), "a");
    EXPECT_EQ(textbytes::DropBrokenEnd("plain"), "plain");
    EXPECT_EQ(textbytes::DropBrokenEnd(""), "");
}

TEST(TextBytes, TwoByteCodePageTrailBytesStayWithTheirLead)
{
    ShiftJisCodePage shiftJis;
    // 表 is 95 5C: its trail byte is the code of "\"; ソ is 83 5C.
    const std::string table = "\x95\x5C\x83\x5C";
    EXPECT_EQ(textbytes::CharLength(table, 0), 2u);
    EXPECT_EQ(textbytes::CutToFit(table, 3), "\x95\x5C");
    EXPECT_EQ(textbytes::CutToFit("a" + table, 2), "a");
    EXPECT_EQ(textbytes::DropBrokenEnd("a\x95"), "a");
    EXPECT_EQ(textbytes::DropBrokenEnd(table), table);
}
