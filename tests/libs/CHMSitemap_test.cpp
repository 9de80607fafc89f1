#include "CHMSitemap.h"
#include "CXML.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
/// The element structure below pNode as "TAG(CHILD,CHILD(…))".
std::string Shape(const CXML* pNode)
{
    std::string str = pNode->GetTagName();
    if (pNode->GetChildCount() == 0)
        return str;
    str += "(";
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        if (i > 0)
            str += ",";
        str += Shape(pNode->GetChildAt(i));
    }
    return str + ")";
}

const CXML* Body(const CXML& root)
{
    const CXML* pHtml = root.GetChildByTagName("HTML");
    return pHtml == nullptr ? nullptr : pHtml->GetChildByTagName("BODY");
}

/// The first element with that tag in document order, or null.
const CXML* FindFirst(const CXML* pNode, const std::string& strTag)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        const CXML* pChild = pNode->GetChildAt(i);
        if (pChild->GetTagName() == strTag)
            return pChild;
        if (const CXML* pFound = FindFirst(pChild, strTag))
            return pFound;
    }
    return nullptr;
}

void Measure(const CXML* pNode, size_t nDepth, size_t& nMaxDepth, size_t& nCount, const std::string& strTag)
{
    // Iterative: the trees measured here are deep.
    struct SItem
    {
        const CXML* p;
        size_t n;
    };
    std::vector<SItem> vec{{pNode, nDepth}};
    while (!vec.empty())
    {
        SItem item = vec.back();
        vec.pop_back();
        nMaxDepth = std::max(nMaxDepth, item.n);
        if (item.p->GetTagName() == strTag)
            ++nCount;
        for (int i = 0; i < item.p->GetChildCount(); ++i)
            vec.push_back({item.p->GetChildAt(i), item.n + 1});
    }
}
} // namespace

TEST(CHMSitemapTest, DocumentElementWithHeadAndBodyUnderTheRoot)
{
    struct SCase
    {
        const char* pszHtml;
        const char* pszShape;
    };
    const SCase aCases[] = {
        {"", "ROOT(HTML(HEAD,BODY))"},
        {"<HTML><HEAD></HEAD><BODY></BODY></HTML>", "ROOT(HTML(HEAD,BODY))"},
        {"<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\"><!-- Sitemap 1.0 --><UL></UL>",
         "ROOT(HTML(HEAD,BODY(UL)))"},
        {"<html><head><meta name=\"GENERATOR\" content=\"x\"><title>t</title></head></html>",
         "ROOT(HTML(HEAD(META,TITLE),BODY))"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszHtml);
        CXML root;
        root.SetTagName("ROOT");
        ASSERT_TRUE(CHM_ParseSitemapToXML(c.pszHtml, &root));
        EXPECT_EQ(Shape(&root), c.pszShape);
    }
}

TEST(CHMSitemapTest, ListsNestAsAnHtml5ParserBuildsThem)
{
    struct SCase
    {
        const char* pszBody;
        const char* pszShape;
    };
    const SCase aCases[] = {
        // A list after an unclosed item is that item's child; the next item closes the nested one.
        {"<UL><LI><OBJECT><param></OBJECT><UL><LI><OBJECT></OBJECT></UL><LI><OBJECT></OBJECT></UL>",
         "BODY(UL(LI(OBJECT(PARAM),UL(LI(OBJECT))),LI(OBJECT)))"},
        // A closed item leaves the following list beside it.
        {"<UL><LI><OBJECT></OBJECT></LI><UL><LI></UL></UL>", "BODY(UL(LI(OBJECT),UL(LI)))"},
        {"<ul><li><ul><li><ul><li></ul></ul><li></ul>", "BODY(UL(LI(UL(LI(UL(LI)))),LI))"},
        // Unknown tags keep their own name, upper-cased.
        {"<Sitemap><Entry-Item></Entry-Item></Sitemap>", "BODY(SITEMAP(ENTRY-ITEM))"},
        {"<OBJECT type=\"text/site properties\"><param name=\"a\"><param name=\"b\"></OBJECT><UL></UL>",
         "BODY(OBJECT(PARAM,PARAM),UL)"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszBody);
        CXML root;
        ASSERT_TRUE(CHM_ParseSitemapToXML(c.pszBody, &root));
        const CXML* pBody = Body(root);
        ASSERT_NE(pBody, nullptr);
        EXPECT_EQ(Shape(pBody), c.pszShape);
    }
}

TEST(CHMSitemapTest, AttributeNamesLowerCaseAndValuesAsWritten)
{
    struct SCase
    {
        const char* pszParam;
        const char* pszName;
        const char* pszValue;
    };
    const SCase aCases[] = {
        {"<PARAM NAME=\"Local\" VALUE=\"a.htm\">", "Local", "a.htm"},
        {"<param Name='Name' vAlUe='It&#39;s'>", "Name", "It&#39;s"},
        {"<param name=Name value=a&amp;b>", "Name", "a&amp;b"},
        {"<param name=\"Name\" value=\"&lt;b&gt; &#20013; &#x4E2D; &nbsp;\">", "Name",
         "&lt;b&gt; &#20013; &#x4E2D; &nbsp;"},
        {"<param name=\"Name\" value=\"a > b\">", "Name", "a > b"},
        {"<param name=\"Name\" value=\"\">", "Name", ""},
        {"<param name=\"Name\" value>", "Name", ""},
        {"<param name=\"Name\" value=\"line\r\nbreak\">", "Name", "line\r\nbreak"},
        {"<param name=\"Name\" value=\"c:\\dir\\a.htm\">", "Name", "c:\\dir\\a.htm"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszParam);
        CXML root;
        ASSERT_TRUE(CHM_ParseSitemapToXML(std::string("<OBJECT>") + c.pszParam + "</OBJECT>", &root));
        const CXML* pParam = FindFirst(&root, "PARAM");
        ASSERT_NE(pParam, nullptr);
        EXPECT_TRUE(pParam->HasAttr("name"));
        EXPECT_TRUE(pParam->HasAttr("value"));
        EXPECT_FALSE(pParam->HasAttr("NAME"));
        EXPECT_EQ(pParam->GetAttr("name"), c.pszName);
        EXPECT_EQ(pParam->GetAttr("value"), c.pszValue);
    }
}

TEST(CHMSitemapTest, BytesAboveAsciiReachTheTreeUnchanged)
{
    std::string strAllHigh;
    for (int b = 0x80; b <= 0xFF; ++b)
        strAllHigh.push_back(static_cast<char>(b));
    struct SCase
    {
        const char* pszWhat;
        std::string strValue;
    };
    const SCase aCases[] = {
        // "中文标题" in GBK; the trail bytes 0x5C and 0x7C look like "\" and "|".
        {"GBK", "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2 \x95\x5C\x81\x7C"},
        {"Shift-JIS", "\x83\x5C\x83\x74\x83\x67"},
        {"Latin-1", "Caf\xE9 \xE0 la cr\xE8me \xBF\xFF"},
        {"UTF-8", "\xE4\xB8\xAD\xE6\x96\x87"},
        {"every byte from 0x80", strAllHigh},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        const std::string strHtml =
            "<HTML><BODY><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + c.strValue +
            "\"><param name=\"Local\" value='" + c.strValue + ".htm'></OBJECT></UL></BODY></HTML>";
        CXML root;
        ASSERT_TRUE(CHM_ParseSitemapToXML(strHtml, &root));
        const CXML* pObject = FindFirst(&root, "OBJECT");
        ASSERT_NE(pObject, nullptr);
        ASSERT_EQ(pObject->GetChildCount(), 2);
        EXPECT_EQ(pObject->GetChildAt(0)->GetAttr("value"), c.strValue);
        EXPECT_EQ(pObject->GetChildAt(1)->GetAttr("value"), c.strValue + ".htm");
    }
}

TEST(CHMSitemapTest, ValuesOfEverySizeComeBackWhole)
{
    // Sizes around the parser's block classes and past the largest: its buffers for these values
    // grow through every class, and blocks freed on the way are handed out again. Bytes above
    // ASCII take two bytes on the way in.
    const size_t aSizes[] = {0, 1, 7, 8, 9, 15, 16, 17, 255, 256, 257, 511, 513, 4096, 65535, 65537, 200000};
    std::string strHtml = "<HTML><BODY><UL>";
    std::vector<std::string> vecValues;
    for (int nRound = 0; nRound < 40; ++nRound)
    {
        for (size_t nSize : aSizes)
        {
            std::string strValue(nSize, static_cast<char>('a' + vecValues.size() % 26));
            if (nSize > 2)
                strValue[nSize / 2] = static_cast<char>(0xE9);
            strHtml += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + strValue +
                       "\"></OBJECT>" + std::string(nSize % 7, ' ') + "text " +
                       std::to_string(vecValues.size());
            vecValues.push_back(std::move(strValue));
        }
    }
    strHtml += "</UL></BODY></HTML>";
    CXML root;
    ASSERT_TRUE(CHM_ParseSitemapToXML(strHtml, &root));
    const CXML* pList = FindFirst(&root, "UL");
    ASSERT_NE(pList, nullptr);
    ASSERT_EQ(pList->GetChildCount(), static_cast<int>(vecValues.size()));
    for (size_t i = 0; i < vecValues.size(); ++i)
    {
        const CXML* pParam = FindFirst(pList->GetChildAt(static_cast<int>(i)), "PARAM");
        ASSERT_NE(pParam, nullptr);
        ASSERT_EQ(pParam->GetAttr("value"), vecValues[i]) << "item " << i;
    }
}

TEST(CHMSitemapTest, NullRootIsRefused)
{
    EXPECT_FALSE(CHM_ParseSitemapToXML("<UL></UL>", nullptr));
}

TEST(CHMSitemapTest, ListsNestedFarTooDeepKeepEveryItemWithinTheBound)
{
    constexpr size_t nLevels = 100000;
    std::string strHtml = "<HTML><BODY>";
    strHtml.reserve(nLevels * 80);
    for (size_t i = 0; i < nLevels; ++i)
        strHtml += "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\"></OBJECT>\n";
    CXML root;
    ASSERT_TRUE(CHM_ParseSitemapToXML(strHtml, &root));
    size_t nMaxDepth = 0;
    size_t nItems = 0;
    Measure(&root, 0, nMaxDepth, nItems, "LI");
    EXPECT_EQ(nItems, nLevels);
    EXPECT_LE(nMaxDepth, kSitemapMaxDepth);

    // The first levels nest as written.
    const CXML* pList = FindFirst(&root, "UL");
    for (int i = 0; i < 10; ++i)
    {
        ASSERT_NE(pList, nullptr);
        const CXML* pItem = pList->GetChildByTagName("LI");
        ASSERT_NE(pItem, nullptr);
        pList = pItem->GetChildByTagName("UL");
    }
}

TEST(CHMSitemapTest, UnclosedObjectsNestedFarTooDeepAreCappedAtTheBound)
{
    // Objects are scope boundaries, so nothing flattens them before parsing.
    constexpr size_t nLevels = 50000;
    std::string strHtml = "<HTML><BODY>";
    for (size_t i = 0; i < nLevels; ++i)
        strHtml += "<OBJECT><param name=\"n\" value=\"v\">";
    CXML root;
    ASSERT_TRUE(CHM_ParseSitemapToXML(strHtml, &root));
    size_t nMaxDepth = 0;
    size_t nParams = 0;
    Measure(&root, 0, nMaxDepth, nParams, "PARAM");
    EXPECT_EQ(nParams, nLevels);
    EXPECT_LE(nMaxDepth, kSitemapMaxDepth);
}

TEST(CHMSitemapTest, DepthBoundAttachesDeeperElementsAtTheBound)
{
    CXML root;
    ASSERT_TRUE(CHM_ParseSitemapToXML("<UL><LI><UL><LI><UL><LI></UL></UL></UL>", &root, 4));
    // ROOT > HTML(1) > BODY(2) > UL(3) > LI(4); the rest follows the first LI at level 4.
    const CXML* pList = Body(root)->GetChildAt(0);
    EXPECT_EQ(Shape(pList), "UL(LI,UL,LI,UL,LI)");
}

TEST(CHMSitemapTest, FlatteningLeavesOrdinaryNestingByteForByte)
{
    std::string strHtml = "<HTML><BODY><UL><LI><OBJECT><param name=\"Name\" value=\"<UL><UL>\"></OBJECT>"
                          "<UL><LI><!-- <UL><UL><UL> --><script>'<ul><ul>'</script></UL></UL></BODY></HTML>";
    const std::string strBefore = strHtml;
    EXPECT_EQ(CHM_FlattenDeepNesting(strHtml, 2, 2), 0u);
    EXPECT_EQ(strHtml, strBefore);
}

TEST(CHMSitemapTest, FlatteningBlanksOnlyTheTagsBeyondTheBound)
{
    struct SCase
    {
        const char* pszHtml;
        const char* pszFlat;
        size_t nBlanked;
    };
    const SCase aCases[] = {
        {"<ul><li>1<ul><li>2<ul class=\"x>y\"><li>3</ul></ul></ul>",
         "<ul><li>1<ul><li>2                <li>3     </ul></ul>", 2},
        {"<div><div><div>x</div></div></div>", "<div><div>     x      </div></div>", 2},
        {"<UL><OL><DIR><MENU></MENU></DIR></OL></UL>", "<UL><OL>                        </OL></UL>", 4},
        {"<ul><ul><ul></ul></ul></ul><ul><ul></ul></ul>", "<ul><ul>         </ul></ul><ul><ul></ul></ul>", 2},
        // A long name is no list; raw text is skipped up to its end tag in any case.
        {"<ul><ul><ulxxxxxxxxxxxxx><ul></ul></ul></ul>", "<ul><ul><ulxxxxxxxxxxxxx>         </ul></ul>", 2},
        {"<ul><ul><SCRIPT><ul><ul></Script><ul>", "<ul><ul><SCRIPT><ul><ul></Script>    ", 1},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszHtml);
        std::string strHtml = c.pszHtml;
        EXPECT_EQ(CHM_FlattenDeepNesting(strHtml, 2, 2), c.nBlanked);
        EXPECT_EQ(strHtml, c.pszFlat);
    }
}
