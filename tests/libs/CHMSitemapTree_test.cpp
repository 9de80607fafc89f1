#include "CHMArchive.h"
#include "CHMSitemap.h"
#include "CText.h"
#include "CXML.h"
#include "GumboSitemap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{
/// Every element below pRoot with its attributes, one per line, indented by depth.
std::string Dump(const CXML* pRoot)
{
    std::string str;
    struct SItem
    {
        const CXML* p;
        size_t nDepth;
    };
    std::vector<SItem> vec{{pRoot, 0}};
    while (!vec.empty())
    {
        const SItem item = vec.back();
        vec.pop_back();
        str.append(item.nDepth, ' ');
        str += item.p->GetTagName();
        for (const char* pszAttr : {"name", "value", "type", "class", "id", "content", "x"})
        {
            if (item.p->HasAttr(pszAttr))
                str += std::string(" ") + pszAttr + "=[" + item.p->GetAttr(pszAttr) + "]";
        }
        str += '\n';
        for (int i = item.p->GetChildCount(); i-- > 0;)
            vec.push_back({item.p->GetChildAt(i), item.nDepth + 1});
    }
    return str;
}

/// The trees of both readers, dumped; the same text means the same elements and attributes.
void ExpectSameTree(std::string_view svHtml, size_t nMaxDepth = kSitemapMaxDepth)
{
    CXML own;
    CXML reference;
    ASSERT_TRUE(CHM_ParseSitemapToXML(svHtml, &own, nMaxDepth));
    ASSERT_TRUE(Gumbo_ParseSitemapToXML(svHtml, &reference, nMaxDepth));
    const std::string strOwn = Dump(&own);
    const std::string strReference = Dump(&reference);
    if (strOwn == strReference)
        return;
    // The first line that differs, with the input around it, says more than two whole trees.
    size_t nAt = 0;
    while (nAt < strOwn.size() && nAt < strReference.size() && strOwn[nAt] == strReference[nAt])
        ++nAt;
    const size_t nLine = strOwn.rfind('\n', nAt == 0 ? 0 : nAt - 1);
    const size_t nFrom = nLine == std::string::npos ? 0 : nLine + 1;
    ADD_FAILURE() << "trees differ from:\nown:       " << strOwn.substr(nFrom, 200)
                  << "\nreference: " << strReference.substr(nFrom, 200) << "\ninput (" << svHtml.size()
                  << " bytes): " << svHtml.substr(0, 3000);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

/// Sitemaps with what real ones hold: items closed and not, lists left open, objects outside
/// items, stray text and comments, any letter case, values quoted or not and with references.
class CSitemapGenerator
{
public:
    explicit CSitemapGenerator(unsigned int nSeed) : m_rng(nSeed) {}

    std::string Make()
    {
        m_str.clear();
        if (Chance(70))
            m_str += "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n";
        if (Chance(80))
            m_str += Case("<HTML>") + "\n";
        if (Chance(70))
        {
            m_str += Case("<HEAD>") + "\n";
            if (Chance(60))
                m_str += Case("<meta name=\"GENERATOR\" content=\"Microsoft&reg; HTML Help Workshop 4.1\">") +
                         "\n";
            if (Chance(50))
                m_str += "<!-- Sitemap 1.0 -->\n";
            if (Chance(20))
                m_str += Case("<title>") + "a <ul> title" + Case("</title>");
            if (Chance(80))
                m_str += Case("</HEAD>");
        }
        if (Chance(80))
            m_str += Case("<BODY>");
        Stray();
        if (Chance(60))
            Object("text/site properties", 2);
        const int nLists = Pick(1, 3);
        for (int i = 0; i < nLists; ++i)
            List(0);
        Stray();
        if (Chance(60))
            m_str += Case("</BODY>");
        if (Chance(60))
            m_str += Case("</HTML>");
        if (Chance(15))
            Item(0);
        if (Chance(20))
            m_str += "\n<!-- after -->\ntext after";
        return m_str;
    }

private:
    bool Chance(int nPercent) { return static_cast<int>(m_rng() % 100) < nPercent; }
    int Pick(int nLow, int nHigh)
    {
        return nLow + static_cast<int>(m_rng() % static_cast<unsigned>(nHigh - nLow + 1));
    }

    std::string Case(std::string_view sv)
    {
        const int nHow = Pick(0, 3);
        std::string str(sv);
        if (nHow == 1)
            str = LowerASCII(sv);
        else if (nHow == 2)
        {
            for (size_t i = 0; i < str.size(); ++i)
                str[i] = i % 2 ? LowerASCII(str[i]) : UpperASCII(str[i]);
        }
        return str;
    }

    std::string Value()
    {
        static const char* const apszParts[] = {
            "Topic", "a.htm",    "&amp;",   "&#20013;", "&lt;b&gt;", "&quot;", "&nbsp;", "sub\\q.htm",
            "x y",   "\xD6\xD0", "caf\xE9", "&bogus;",  "&#x4E2D;",  "it's",   ">",      "a=b"};
        std::string str;
        const int nParts = Pick(0, 3);
        for (int i = 0; i < nParts; ++i)
            str += apszParts[m_rng() % std::size(apszParts)];
        return str;
    }

    /// An attribute as real files write it: double, single or no quotes.
    std::string Attr(const std::string& strName, const std::string& strValue)
    {
        const int nHow = Pick(0, 5);
        const bool bBare = strValue.find_first_of(" '\"<>=`\t\n") == std::string::npos && !strValue.empty();
        if (nHow == 0 && bBare)
            return Case(strName) + "=" + strValue;
        if (nHow == 1 && strValue.find('\'') == std::string::npos)
            return Case(strName) + "='" + strValue + "'";
        if (strValue.find('"') != std::string::npos)
            return Case(strName) + "='" + strValue + "'";
        return Case(strName) + "=\"" + strValue + "\"";
    }

    void Stray()
    {
        switch (Pick(0, 9))
        {
        case 0:
            m_str += "stray text";
            break;
        case 1:
            m_str += "<!-- a comment <UL> -->";
            break;
        case 2:
            m_str += "&nbsp;";
            break;
        case 3:
            m_str += Case("<b>") + "bold" + (Chance(50) ? Case("</b>") : "");
            break;
        case 4:
            m_str += Case("<font color=red>") + "x" + Case("</font>");
            break;
        case 5:
            m_str += Case("</LI>");
            break;
        case 6:
            m_str += Case("<p>") + "para";
            break;
        default:
            m_str += std::string(Pick(0, 3), ' ') + "\n";
            break;
        }
    }

    void Object(const char* pszType, int nParams)
    {
        m_str += "<" + Case("OBJECT") + " " + Attr("type", pszType) + ">";
        for (int i = 0; i < nParams; ++i)
        {
            m_str += "\n  <" + Case("param") + " " + Attr("name", i == 0 ? "Name" : "Local") + " " +
                     Attr("value", Value());
            if (Chance(5))
                m_str += " " + Attr("value", "second");
            m_str += ">";
        }
        if (Chance(90))
            m_str += "\n  " + Case("</OBJECT>");
    }

    void Item(int nDepth)
    {
        if (!Chance(8))
            m_str += "\n" + std::string(static_cast<size_t>(nDepth) * 2, ' ') + Case("<LI>") +
                     (Chance(50) ? " " : "");
        if (Chance(10))
            Stray();
        Object("text/sitemap", Pick(0, 3));
        if (nDepth < 6 && Chance(25))
            List(nDepth + 1);
        if (Chance(20))
            m_str += Case("</LI>");
        if (Chance(10))
            Stray();
    }

    void List(int nDepth)
    {
        m_str += "\n" + Case("<UL>");
        const int nItems = Pick(0, 5);
        for (int i = 0; i < nItems; ++i)
            Item(nDepth);
        if (Chance(80))
            m_str += "\n" + Case("</UL>");
        if (Chance(5))
            m_str += Case("</UL>");
    }

    std::mt19937 m_rng;
    std::string m_str;
};
} // namespace

TEST(CHMSitemapTreeTest, FixtureSitemapsBuildTheReferenceTree)
{
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(WEBHELP_FIXTURES_DIR))
    {
        const std::string strExt = LowerASCII(entry.path().extension().string());
        if (strExt != ".hhc" && strExt != ".hhk")
            continue;
        SCOPED_TRACE(entry.path().string());
        ExpectSameTree(ReadFile(entry.path()));
        ++nFiles;
    }
    EXPECT_GE(nFiles, 40u);
}

TEST(CHMSitemapTreeTest, GeneratedSitemapsBuildTheReferenceTree)
{
    for (unsigned int nSeed = 1; nSeed <= 3000; ++nSeed)
    {
        SCOPED_TRACE("seed " + std::to_string(nSeed));
        CSitemapGenerator generator(nSeed);
        ExpectSameTree(generator.Make());
        if (HasFailure())
            break;
    }
}

TEST(CHMSitemapTreeTest, IrregularMarkupBuildsTheReferenceTree)
{
    // One input per rule the tree is built by; each was seen to matter for some input.
    const char* const apszCases[] = {
        "",
        "text before anything<UL><LI>x</UL>",
        "<UL><LI><OBJECT><param name=a><LI><OBJECT></OBJECT></UL>",
        "<UL><LI><B>bold<LI><OBJECT></OBJECT></UL>",
        "<UL><LI><B>bold</LI><LI>text<OBJECT></OBJECT></UL>",
        "<b><p>x</b>y</p>",
        "<a><b><a>x</a>",
        "<font><ul><li>1<li>2</font>3</ul>",
        "<HTML><HEAD><title>t</title><style>ul{}</style></HEAD><meta "
        "name=x><BODY><UL></UL></BODY></HTML><LI>after",
        "<HTML lang=en><HTML dir=ltr x=1><BODY x=a><BODY x=b class=c>",
        "<dl><dt>a<dd>b<dt>c</dl>",
        "<p>one<p>two</p></p><h1>h<h2>h2</h1>",
        "<ul><li>a</li></ul></ul></li><li>b",
        "<object><ul></object><li>x</ul>",
        "<br></br><img src=a><hr><param name=x>",
        "<sitemap><entry>1<entry>2</sitemap>",
        "<textarea><ul></textarea><script><li></script><li>",
        "<!-- <ul> --><!DOCTYPE html><?pi <ul>?><ul><li></ li><li>",
        "<ul><li>x\x00y</ul>&#32;&#9;<li>",
        "<head></head>&#32;<li>",
        "<head></head>&amp;<li>",
        "<b><b><b><b>x</b></b></b></b><li>y",
        "<b x=1><b x=1><b x=1><b x=1><p>y",
        "<form><ul><form><li></form>z",
        "<button><button>x</button>",
        "<i><div>a</i>b</div>",
        "<noscript><li></noscript><plaintext><ul><li>",
    };
    for (const char* psz : apszCases)
    {
        SCOPED_TRACE(psz);
        ExpectSameTree(psz);
    }
}

TEST(CHMSitemapTreeTest, NestingBeyondTheBoundsBuildsTheReferenceTree)
{
    struct SCase
    {
        const char* pszUnit;
        size_t nRepeat;
        size_t nMaxDepth;
    };
    const SCase aCases[] = {
        {"<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\"></OBJECT>\n", 3000,
         kSitemapMaxDepth},
        {"<UL><LI><OBJECT><param name=\"Name\" value=\"x\"></OBJECT>\n", 300, 40},
        {"<OBJECT><param name=\"n\" value=\"v\">", 1500, kSitemapMaxDepth},
        {"<div><font>x", 600, kSitemapMaxDepth},
        {"<ul><li>a</ul></ul>", 500, kSitemapMaxDepth},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszUnit);
        std::string strHtml;
        for (size_t i = 0; i < c.nRepeat; ++i)
            strHtml += c.pszUnit;
        ExpectSameTree(strHtml, c.nMaxDepth);
    }
}

// The large files of the benchmarks, when they are there: bench/data/lcl.chm (bench/lib.sh) and
// the corpus file (make_large.sh), or the files named in WEBHELP_LARGE_CHM (separated by ':').
TEST(CHMSitemapTreeTest, LargeSitemapsBuildTheReferenceTree)
{
    std::vector<std::string> vecFiles;
    if (const char* psz = std::getenv("WEBHELP_LARGE_CHM"))
    {
        std::string str = psz;
        for (size_t nStart = 0; nStart <= str.size();)
        {
            const size_t nEnd = std::min(str.find(':', nStart), str.size());
            if (nEnd > nStart)
                vecFiles.push_back(str.substr(nStart, nEnd - nStart));
            nStart = nEnd + 1;
        }
    }
    else
        vecFiles.push_back(std::string(WEBHELP_SOURCE_DIR) + "/bench/data/lcl.chm");
    size_t nSitemaps = 0;
    for (const std::string& strFile : vecFiles)
    {
        CCHMArchive archive;
        if (!archive.Open(strFile))
            continue;
        for (size_t i = 0; i < archive.Entries().size(); ++i)
        {
            const std::string strName = LowerASCII(archive.Entries()[i].strName);
            if (strName.size() < 4 || (strName.substr(strName.size() - 4) != ".hhc" &&
                                       strName.substr(strName.size() - 4) != ".hhk"))
                continue;
            std::string strBytes;
            CStringSink sink(strBytes);
            ASSERT_TRUE(archive.Extract(i, sink));
            SCOPED_TRACE(strFile + archive.Entries()[i].strName);
            using Clock = std::chrono::steady_clock;
            CXML own;
            CXML reference;
            const auto t0 = Clock::now();
            ASSERT_TRUE(CHM_ParseSitemapToXML(strBytes, &own));
            const auto t1 = Clock::now();
            ASSERT_TRUE(Gumbo_ParseSitemapToXML(strBytes, &reference, kSitemapMaxDepth));
            const auto t2 = Clock::now();
            EXPECT_TRUE(Dump(&own) == Dump(&reference));
            std::printf("%s%s: %zu bytes, own reader %.3f s, reference %.3f s\n", strFile.c_str(),
                        archive.Entries()[i].strName.c_str(), strBytes.size(),
                        std::chrono::duration<double>(t1 - t0).count(),
                        std::chrono::duration<double>(t2 - t1).count());
            ++nSitemaps;
        }
    }
    if (nSitemaps == 0)
        GTEST_SKIP() << "no large file (bench/data/lcl.chm or WEBHELP_LARGE_CHM)";
}
