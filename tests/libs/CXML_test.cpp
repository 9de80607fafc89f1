#include "CXML.h"

#include <gtest/gtest.h>

TEST(CXMLTest, AttributesReadBackAndReplace)
{
    CXML node;
    node.SetAttr("Name", std::string("first"));
    node.SetAttr("Name", std::string("second"));
    node.SetAttr("XPosition", -1);
    node.SetAttr("ImageNumber", 2147483647);
    EXPECT_EQ(node.GetAttr("Name"), "second");
    EXPECT_EQ(node.GetAttrText("Name"), "second");
    EXPECT_EQ(node.GetAttrInt("XPosition"), -1);
    EXPECT_EQ(node.GetAttrInt("ImageNumber"), 2147483647);
    EXPECT_EQ(node.GetAttr("Missing"), "");
    EXPECT_FALSE(node.HasAttr("name")) << "names are case-sensitive";
}

TEST(CXMLTest, CursorsOfDifferentElementsAreIndependent)
{
    CXML root;
    CXML* pA = root.AddChild("UL", "");
    CXML* pB = root.AddChild("UL", "");
    pA->AddChild("LI", "")->SetAttr("n", 1);
    pA->AddChild("LI", "")->SetAttr("n", 2);

    ASSERT_EQ(root.GetFirstChild(), pA);
    // Walking pA's children in between must not move root's cursor.
    int nSum = 0;
    for (CXML* p = pA->GetFirstChild(); p != nullptr; p = pA->GetNextChild())
        nSum += p->GetAttrInt("n");
    EXPECT_EQ(nSum, 3);
    EXPECT_EQ(root.GetNextChild(), pB);
    EXPECT_EQ(root.GetNextChild(), nullptr);
    EXPECT_EQ(root.GetNextChild(), nullptr);
}

TEST(CXMLTest, ChildrenByIndexTagAndRemoval)
{
    CXML root;
    CXML* pHead = root.AddChild("HEAD", "");
    CXML* pBody = new CXML;
    pBody->SetTagName("BODY");
    EXPECT_EQ(root.AddChild(pBody), pBody);
    CXML* pBody2 = root.AddChild("BODY", "");

    EXPECT_EQ(root.GetChildCount(), 3);
    EXPECT_EQ(root.GetChildAt(0), pHead);
    EXPECT_EQ(root.GetChildAt(3), nullptr);
    EXPECT_EQ(root.GetChildAt(-1), nullptr);
    EXPECT_EQ(root.GetChildByTagName("BODY"), pBody);
    EXPECT_EQ(root.GetChildByTagName("body"), nullptr);

    ASSERT_TRUE(root.RemoveChild(pBody));
    EXPECT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(root.GetChildByTagName("BODY"), pBody2);
    EXPECT_FALSE(root.RemoveChild(pBody));
    delete pBody;
}

TEST(CXMLTest, RemovingTheVisitedChildKeepsTheWalkOnTheNextOne)
{
    CXML root;
    CXML* p0 = root.AddChild("A", "");
    CXML* p1 = root.AddChild("B", "");
    CXML* p2 = root.AddChild("C", "");
    EXPECT_EQ(root.GetFirstChild(), p0);
    EXPECT_EQ(root.GetNextChild(), p1);
    ASSERT_TRUE(root.RemoveChild(p1));
    delete p1;
    EXPECT_EQ(root.GetNextChild(), p2);
}

TEST(CXMLTest, DeepTreeIsDestroyedWithoutRecursion)
{
    auto pRoot = std::make_unique<CXML>();
    CXML* p = pRoot.get();
    for (int i = 0; i < 200000; ++i)
        p = p->AddChild("UL", "");
    pRoot.reset();
    SUCCEED();
}

TEST(CXMLTest, AttributesOfAnyLengthAndBytesSurviveReplacement)
{
    // Lengths around the encoding's steps, zero bytes and names that prefix each other.
    struct SCase
    {
        std::string strName;
        std::string strFirst;
        std::string strSecond;
    };
    const SCase aCases[] = {
        {"a", "", "x"},
        {"ab", std::string(127, 'v'), std::string(128, 'w')},
        {"abc", std::string(300, 'l'), ""},
        {std::string(200, 'n'), std::string("z\0z", 3), std::string(16384, 'q')},
        {std::string("\0k", 2), "1", std::string(40000, '\xff')},
    };
    CXML node;
    node.ReserveAttrs(2, 10);
    for (const SCase& c : aCases)
        node.SetAttr(c.strName, c.strFirst);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strName.size());
        EXPECT_EQ(node.GetAttr(c.strName), c.strFirst);
    }
    for (const SCase& c : aCases)
        node.SetAttr(c.strName, c.strSecond);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strName.size());
        EXPECT_TRUE(node.HasAttr(c.strName));
        EXPECT_EQ(node.GetAttr(c.strName), c.strSecond);
    }
    EXPECT_FALSE(node.HasAttr("abcd"));
    EXPECT_FALSE(node.HasAttr(""));
}

TEST(CXMLTest, TagNamesAndTextsReadBackWhateverTheirSpelling)
{
    const std::string aTags[] = {"LI", "li", "Topic", "", "OBJECTS", std::string(1000, 'T'), "PARAM"};
    CXML root;
    for (const std::string& strTag : aTags)
        root.AddChild(strTag, strTag + "!");
    CXML* pRenamed = root.GetChildAt(0);
    for (const std::string& strTag : aTags)
        pRenamed->SetTagName(strTag);
    EXPECT_EQ(pRenamed->GetTagName(), "PARAM");
    for (int i = 1; i < root.GetChildCount(); ++i)
    {
        const std::string& strTag = aTags[i];
        SCOPED_TRACE(strTag);
        EXPECT_EQ(root.GetChildAt(i)->GetTagName(), strTag);
        EXPECT_EQ(root.GetChildAt(i)->GetText(), strTag + "!");
        EXPECT_EQ(root.GetChildByTagName(strTag), strTag == "PARAM" ? pRenamed : root.GetChildAt(i));
    }
    pRenamed->SetText("");
    EXPECT_EQ(pRenamed->GetText(), "");
}
