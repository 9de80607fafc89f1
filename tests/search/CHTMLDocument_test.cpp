#include "CCodePage.h"
#include "CHTMLDocument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace
{
constexpr int kRowGBK = 8;
constexpr int kRowUTF8 = 31;
constexpr int kRow1252 = 34;

/// Body text with every run of white space made one space, for comparing words and their order.
std::string Words(const std::string& str)
{
    std::string strOut;
    bool bSpace = false;
    for (char ch : str)
    {
        if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t' || ch == '\f')
        {
            bSpace = !strOut.empty();
            continue;
        }
        if (bSpace)
            strOut += ' ';
        bSpace = false;
        strOut += ch;
    }
    return strOut;
}

struct SCase
{
    const char* pszName;
    std::string strPage;
    std::string strTitle;
    std::string strWords;
};

TEST(CHTMLDocumentTest, TakesTitleAndVisibleBodyText)
{
    const SCase aCases[] = {
        {"worked example",
         "<html><head><title>Getting Started</title></head><body><p>Welcome to Version 2.0!</p>"
         "<p>Click Start.</p></body></html>",
         "Getting Started", "Welcome to Version 2.0! Click Start."},
        {"no title", "<body>Start the setup.</body>", "", "Start the setup."},
        {"title white space collapsed", "<TITLE>\r\n  A \t  B\n</TITLE >x", "A B", "x"},
        {"title of spaces", "<title>   </title>x", "", "x"},
        {"first title only", "<title>One</title><title>Two</title>x", "One", "x"},
        {"title with references and tags as text", "<title>a&amp;b <i>c</i></title>", "a&b <i>c</i>", ""},
        {"title cut off by the end", "<title>Open", "Open", ""},
        // As in a browser, hidden elements and comments do not separate the text around them.
        {"script, style, noscript left out",
         "a<script>var s = \"</p>no\";</script>b<style>p{}</style>c<noscript>d</noscript>e", "", "abce"},
        {"script end tag in any case", "x<SCRIPT type=x>1</ScRiPt >y", "", "xy"},
        {"script not ended", "x<script>never ends", "", "x"},
        {"template left out, nested", "a<template>b<template>c</template>d</template>e", "", "ae"},
        {"comments", "a<!-- b -- c -->d<!---->e<!-->f<!--->g<!-- h --!>i<!-- never", "", "adefgi"},
        {"doctype and processing instruction", "<!DOCTYPE html><?xml x?>a", "", "a"},
        {"inline tags join words", "wo<b>r</b>d <a href=\"x\">link</a>", "", "word link"},
        {"block tags separate", "one<p>two</p>three<br>four<div>five</div><td>six", "",
         "one two three four five six"},
        {"quoted > in attributes", "<a title=\"x>y\" alt='p>q' data=a>b</a>", "", "b"},
        {"named references", "&lt;tag&gt; &amp; &copy;2024 &notit; &unknown;", "",
         "<tag> & \xA9"
         "2024 \xACit; &unknown;"},
        {"numeric references", "&#65;&#x42;&#X43;&#0068 &#x80;&#0;&#xD800;&#1114112;", "", "ABCD \x80???"},
        {"no-break space separates", "a&nbsp;b", "", "a b"},
        {"stray < and &", "a < b & c <3 </ >", "", "a < b & c <3"},
        {"textarea and xmp shown", "<textarea>a&amp;b</textarea><xmp>c&amp;d</xmp>", "", "a&b c&amp;d"},
        {"plaintext runs to the end", "a<plaintext>b</plaintext><p>c", "", "a b</plaintext><p>c"},
        {"tag cut off by the end", "a<p class=\"x", "", "a"},
        {"zero bytes dropped", std::string("a\0b<title>c\0d</title>", 21), "cd", "ab"},
        {"frameset page has no body",
         "<html><head><title>F</title></head><frameset><frame src=a>"
         "<noframes>old</noframes></frameset>",
         "F", ""},
    };
    CCodePage cp(kRow1252);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CHTMLDocument doc(cp);
        doc.Write(c.strPage);
        doc.Close();
        EXPECT_EQ(doc.GetTitle(), c.strTitle);
        EXPECT_EQ(Words(doc.GetBodyText()), c.strWords);
    }
}

TEST(CHTMLDocumentTest, BlockElementsSeparateAndOthersJoin)
{
    const char* const apszBlocks[] = {
        "address", "article",  "aside",  "blockquote", "body",  "br",      "button", "caption",  "center",
        "dd",      "details",  "dialog", "dir",        "div",   "dl",      "dt",     "fieldset", "figcaption",
        "figure",  "footer",   "form",   "frame",      "h1",    "h6",      "head",   "header",   "hgroup",
        "hr",      "html",     "input",  "legend",     "li",    "listing", "main",   "menu",     "nav",
        "ol",      "optgroup", "option", "p",          "pre",   "section", "select", "summary",  "table",
        "tbody",   "td",       "tfoot",  "th",         "thead", "tr",      "ul",     "LI",       "Table"};
    const char* const apszInline[] = {"a", "b",           "span", "h7",   "h",   "lix", "ulx", "x",    "z",
                                      "d", "blockquotes", "zz",   "abbr", "img", "t",   "tt",  "font", "sup"};
    CCodePage cp(kRow1252);
    auto Body = [&](const std::string& strName)
    {
        CHTMLDocument doc(cp);
        doc.Write("a<" + strName + ">b</" + strName + ">c");
        return Words(doc.GetBodyText());
    };
    for (const char* pszName : apszBlocks)
    {
        SCOPED_TRACE(pszName);
        EXPECT_EQ(Body(pszName), "a b c");
    }
    for (const char* pszName : apszInline)
    {
        SCOPED_TRACE(pszName);
        EXPECT_EQ(Body(pszName), "abc");
    }
}

TEST(CHTMLDocumentTest, FramesetPageReportsNoBody)
{
    CCodePage cp(kRow1252);
    CHTMLDocument doc(cp);
    doc.Write("<frameset><frame src=a></frameset>");
    EXPECT_FALSE(doc.HasBody());
    doc.Write("<body>text</body><frameset>");
    EXPECT_TRUE(doc.HasBody());
    EXPECT_EQ(Words(doc.GetBodyText()), "text");
}

TEST(CHTMLDocumentTest, EncodesReferencesIntoTheCodePage)
{
    struct SEncCase
    {
        int nRow;
        const char* pszPage;
        const char* pszText;
    };
    const SEncCase aCases[] = {
        {kRowGBK, "&#20013;&eacute;&#x1F600;x", "\xD6\xD0\xA8\xA6?x"},
        {kRowUTF8, "&#20013;&eacute;&#x1F600;&NotEqualTilde;",
         "\xE4\xB8\xAD\xC3\xA9\xF0\x9F\x98\x80\xE2\x89\x82\xCC\xB8"},
        {kRow1252, "&eacute;&euro;&#20013;", "\xE9\x80?"},
    };
    for (const SEncCase& c : aCases)
    {
        SCOPED_TRACE(c.pszPage);
        CCodePage cp(c.nRow);
        CHTMLDocument doc(cp);
        doc.Write(c.pszPage);
        EXPECT_EQ(doc.GetBodyText(), c.pszText);
    }
}

TEST(CHTMLDocumentTest, DoubleByteTextPassesThrough)
{
    // Second bytes that look like "<", "&" or "\" are not possible in GBK, but "@" to "~" are.
    CCodePage cp(kRowGBK);
    CHTMLDocument doc(cp);
    doc.Write("<title>\xD6\xD0\xCE\xC4 \x81\x5C</title><p>\xB0\xA1\x81\x40</p>");
    EXPECT_EQ(doc.GetTitle(), "\xD6\xD0\xCE\xC4 \x81\x5C");
    EXPECT_EQ(Words(doc.GetBodyText()), "\xB0\xA1\x81\x40");
}

// Hostile pages: the extractor has no stack and reads each byte a bounded number of times.
TEST(CHTMLDocumentTest, HostilePagesFinishQuickly)
{
    const std::string aPages[] = {
        []
        {
            std::string s;
            for (int i = 0; i < 200000; ++i)
                s += "<div><span><table><tr><td>";
            return s + "deep";
        }(),
        std::string(4 << 20, '<'),
        []
        {
            std::string s;
            for (int i = 0; i < 300000; ++i)
                s += "<!-- -";
            return s;
        }(),
        []
        {
            std::string s;
            for (int i = 0; i < 300000; ++i)
                s += "</scrip";
            return "<script>" + s;
        }(),
        []
        {
            std::string s;
            for (int i = 0; i < 400000; ++i)
                s += "&#x";
            return s + std::string(100000, '&');
        }(),
        []
        {
            std::string s;
            for (int i = 0; i < 500000; ++i)
                s += "<frameset>";
            return s;
        }(),
        []
        {
            std::string s;
            for (int i = 0; i < (1 << 22); ++i)
                s += static_cast<char>((i * 7919) & 0xFF);
            return s;
        }(),
    };
    CCodePage cp(kRowUTF8);
    for (const std::string& strPage : aPages)
    {
        auto tStart = std::chrono::steady_clock::now();
        CHTMLDocument doc(cp);
        doc.Write(strPage);
        double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
        // Generous even under the sanitizers; a quadratic scan of these pages takes minutes.
        EXPECT_LT(dSeconds, 20.0);
    }
    CHTMLDocument doc(cp);
    doc.Write(aPages[0]);
    EXPECT_EQ(Words(doc.GetBodyText()), "deep");
}
TEST(CHTMLDocumentTest, GathersTheReferencesThatABrowserLoadsOrFollows)
{
    struct SCase
    {
        const char* pszPage;
        std::vector<std::string> vecRefs;
    };
    const SCase aCases[] = {
        {"<a HREF=\"a.htm#x\">a</a><img src='Images/b.gif'><td background=c.gif>",
         {"a.htm#x", "Images/b.gif", "c.gif"}},
        {"<p style=\"background: url(&quot;d.gif&quot;); x: URL( 'e.gif' )\">t</p>", {"d.gif", "e.gif"}},
        {"<style>.x { background: url(f.gif) }</style><script>g='url(no.gif)'</script>", {"f.gif"}},
        {"<a href=\"h.htm?a=1&amp;b=2\">h</a><a title=\"i.htm\" href>", {"h.htm?a=1&b=2"}},
        {"<template><img src=no.gif></template><!-- <img src=no.gif> --><img src=\"cut", {}},
    };
    CCodePage cp(kRow1252);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszPage);
        std::vector<std::string> vecRefs;
        CHTMLDocument doc(cp);
        doc.SetReferenceList(&vecRefs);
        doc.Write(c.pszPage);
        EXPECT_EQ(vecRefs, c.vecRefs);
    }
}

TEST(CHTMLDocumentTest, TagNamesAreMatchedWholeInAnyCaseAndLength)
{
    const SCase aCases[] = {
        {"mixed case block", "a<BlockQuote>b</BLOCKQUOTE>c", "", "a b c"},
        {"prefix of a block name", "a<blockquot>b<di>c", "", "abc"},
        {"block name and more", "a<divdiv>b<tablex>c", "", "abc"},
        {"zero bytes after a block name", std::string("a<p\0>b<p\0\0\0\0\0\0\0>c", 17), "", "abc"},
        {"block name twice, past any name's length", "a<figcaptionfigcaption>b", "", "ab"},
        {"raw name and more", "a<scriptscriptscriptscript>b</script>c", "", "abc"},
        {"raw end tag alone", "a</script>b</style>c", "", "abc"},
        {"raw in upper case", "a<STYLE>b</Style>c<TEXTAREA>d&amp;e</textarea>", "", "ac d&e"},
        {"title in mixed case", "<TiTlE>T</tItLe>x", "T", "x"},
        {"template in upper case", "a<TEMPLATE>b</Template>c", "", "ac"},
        {"longest names", "a<abcdefghijklmnop>b<abcdefghijklmnopq>c", "", "abc"},
    };
    CCodePage cp(kRow1252);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CHTMLDocument doc(cp);
        doc.Write(c.strPage);
        EXPECT_EQ(doc.GetTitle(), c.strTitle);
        EXPECT_EQ(Words(doc.GetBodyText()), c.strWords);
    }
}

TEST(CHTMLDocumentTest, TextEndsAtMarkupWhereverItFallsInALongRun)
{
    struct SMarkup
    {
        std::string strMarkup;
        std::string strText; ///< what the markup leaves in the body
    };
    const SMarkup aMarkups[] = {
        {"<b>", ""},         {"&amp;", "&"},        {std::string(1, '\0'), ""},
        {"\xE9<i>", "\xE9"}, {"\xBC&lt;", "\xBC<"}, {"<!-- < & -->", ""},
    };
    // Longer than a few machine words, with bytes on both sides of every value that ends text.
    const std::string strRun = "abc;=>?%\x80\xFF\x3B\x3D\x25\x27xyz0123456789ABCDEFGH";
    CCodePage cp(kRow1252);
    for (const SMarkup& m : aMarkups)
    {
        for (size_t nPos = 0; nPos <= strRun.size(); ++nPos)
        {
            SCOPED_TRACE(testing::Message() << m.strText << " at " << nPos);
            CHTMLDocument doc(cp);
            doc.Write(strRun.substr(0, nPos) + m.strMarkup + strRun.substr(nPos));
            EXPECT_EQ(doc.GetBodyText(), strRun.substr(0, nPos) + m.strText + strRun.substr(nPos));
        }
    }
}

TEST(CHTMLDocumentTest, EachPageLeavesOnlyItsOwnReferencesInAListKeptAcrossPages)
{
    struct SPage
    {
        const char* pszPage;
        std::vector<std::string> vecRefs;
    };
    // One document and one list for all, in this order, as a harvest reads pages.
    const SPage aPages[] = {
        {"<a href=a-rather-long-page-name.htm>a</a><img src=b.gif><p style='x:url(c.png)'>",
         {"a-rather-long-page-name.htm", "b.gif", "c.png"}},
        {"<a href=\"d.htm?x=1&amp;y=2\">d</a>", {"d.htm?x=1&y=2"}},
        {"<p>no references</p>", {}},
        {"<style>p { background: url(e.gif) }</style><a href=f.htm>", {"e.gif", "f.htm"}},
        {"<img src=g.gif><img src=h.gif><img src=i.gif><img src=j.gif>",
         {"g.gif", "h.gif", "i.gif", "j.gif"}},
        {"<a href=k>", {"k"}},
    };
    CCodePage cp(kRow1252);
    CHTMLDocument doc(cp);
    std::vector<std::string> vecRefs;
    doc.SetReferenceList(&vecRefs);
    for (const SPage& page : aPages)
    {
        SCOPED_TRACE(page.pszPage);
        doc.Write(page.pszPage);
        EXPECT_EQ(vecRefs, page.vecRefs);
    }
}

TEST(CHTMLDocumentTest, TagNamesAreFoundInTheLastBytesOfAPageAsAnywhereElse)
{
    struct SMarkup
    {
        std::string strMarkup;
        std::string strText; ///< what the markup leaves in the body
    };
    const SMarkup aMarkups[] = {
        {"<DiV>", "\n"},        {"</TABLE >", "\n"},   {"<Tr/>", "\n"},
        {"<FigCaption>", "\n"}, {"<PlainText>", "\n"}, {"<ABCDEFGHIJKLMNOP>", ""},
        {"<d\xC9v>", ""},       {"<dIv\xC9>", ""},     {"<BR\xC9>", ""},
    };
    CCodePage cp(kRow1252);
    // Names are read a word at a time where the page goes on for a word or more, else byte by byte.
    for (const SMarkup& m : aMarkups)
    {
        for (size_t nAfter = 0; nAfter <= 20; ++nAfter)
        {
            SCOPED_TRACE(testing::Message() << m.strMarkup << " with " << nAfter << " bytes after it");
            CHTMLDocument doc(cp);
            const std::string strAfter(nAfter, 'x');
            doc.Write("a" + m.strMarkup + strAfter);
            EXPECT_EQ(doc.GetBodyText(), "a" + m.strText + strAfter);
        }
    }
}

TEST(CHTMLDocumentTest, TagsEndAtTheSamePlaceWhetherOrNotReferencesAreWanted)
{
    const SCase aCases[] = {
        {"quoted greater-than", "a<div title='b>c' class=\"d>e\">f", "", "a f"},
        {"unquoted value up to the greater-than", "a<td width=50%>b<td class=x/>c", "", "a b c"},
        {"names and equals signs", "a<p =b c = d e=>f<p/ / g>h", "", "a f h"},
        {"quote never closed", "a<span title=\"b>c", "", "a"},
        {"inside a template", "a<template><p title='x>y'>b</p></template>c", "", "ac"},
    };
    CCodePage cp(kRow1252);
    for (const SCase& c : aCases)
    {
        for (bool bReferences : {false, true})
        {
            SCOPED_TRACE(testing::Message() << c.pszName << (bReferences ? ", references wanted" : ""));
            std::vector<std::string> vecRefs;
            CHTMLDocument doc(cp);
            doc.SetReferenceList(bReferences ? &vecRefs : nullptr);
            doc.Write(c.strPage);
            EXPECT_EQ(Words(doc.GetBodyText()), c.strWords);
            EXPECT_TRUE(vecRefs.empty());
        }
    }
}
} // namespace
