#include "HostOptions.h"

#include <gtest/gtest.h>

TEST(HostOptionsTest, CharsetAndTemplateByNameOrRow)
{
    EXPECT_EQ(ParseCharsetRow("gb2312"), 8);
    EXPECT_EQ(ParseCharsetRow("UTF-8"), 31);
    EXPECT_EQ(ParseCharsetRow("iso-8859-1"), 16) << "the first of two rows with that name";
    EXPECT_EQ(ParseCharsetRow("0"), 0);
    EXPECT_EQ(ParseCharsetRow("43"), 43);
    for (const char* psz : {"44", "-1", "8x", "", "latin1"})
        EXPECT_EQ(ParseCharsetRow(psz), -1) << psz;

    EXPECT_EQ(ParseTemplateRow("xpblue"), 2);
    EXPECT_EQ(ParseTemplateRow("XP Silver"), 4);
    EXPECT_EQ(ParseTemplateRow("1"), 1);
    EXPECT_EQ(ParseTemplateRow("5"), -1);
}

TEST(HostOptionsTest, ConvertOptionsAreParsed)
{
    SConvertOptions opt;
    std::string strError;
    ASSERT_TRUE(
        ParseConvertOptions({"a.chm", "-o", "out", "--charset=utf-8", "--template", "xpgreen", "--no-index",
                             "--no-next", "--title", "T", "--caption-search", "S", "--quiet"},
                            opt, strError))
        << strError;
    EXPECT_EQ(opt.vecInputs, std::vector<std::string>{"a.chm"});
    EXPECT_EQ(opt.strOutputDir.value_or(""), "out");
    EXPECT_EQ(opt.nCharset, 31);
    EXPECT_EQ(opt.nTemplate, 3);
    EXPECT_EQ(opt.bShowIndex, 0);
    EXPECT_EQ(opt.bShowNext, 0);
    EXPECT_EQ(opt.bShowSearch, 1);
    EXPECT_EQ(opt.strTitle.value_or(""), "T");
    EXPECT_EQ(opt.strTxtSearch.value_or(""), "S");
    EXPECT_FALSE(opt.strTxtIndex.has_value());
    EXPECT_TRUE(opt.bQuiet);
}

TEST(HostOptionsTest, BadCommandLinesAreRefusedWithAReason)
{
    struct SCase
    {
        std::vector<std::string> vecArgs;
        const char* pszReason;
    };
    const SCase aCases[] = {
        {{}, "no input"},
        {{"a.chm", "b.chm", "-j", "0"}, "from 1 to 999"},
        {{"a.chm", "--bogus"}, "unknown option"},
        {{"a.chm", "-o"}, "needs a value"},
        {{"a.chm", "--charset", "klingon"}, "unknown charset"},
        {{"a.chm", "--template", "9"}, "unknown template"},
        {{"a.chm", "--source-dir", "../up"}, "plain folder name"},
        {{"a.chm", "-o", ""}, "output folder is empty"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszReason);
        SConvertOptions opt;
        std::string strError;
        EXPECT_FALSE(ParseConvertOptions(c.vecArgs, opt, strError));
        EXPECT_NE(strError.find(c.pszReason), std::string::npos) << strError;
    }
}

TEST(HostOptionsTest, WordsAreOperandsOrOptionsWithTheirValues)
{
    const std::vector<std::string> vecArgs = {"a",    "--title=x=y", "-o", "out", "-",
                                              "-o=z", "v",           "--", "-q",  "--n=1"};
    CArgWalker args(vecArgs);
    std::string strWord;
    std::string strValue;
    std::string strError;
    bool bOperand = false;
    std::vector<std::string> vecSeen;
    while (args.Next(strWord, bOperand))
    {
        if (bOperand)
        {
            vecSeen.push_back("operand " + strWord);
            continue;
        }
        vecSeen.push_back("option " + strWord + (args.HasJoinedValue() ? " joined" : ""));
        // "-o=z" is a short option: nothing is split from it, and it takes the next word.
        ASSERT_TRUE(args.Value(strValue, strError)) << strError;
        vecSeen.push_back("value " + strValue);
    }
    EXPECT_EQ(vecSeen, (std::vector<std::string>{"operand a", "option --title joined", "value x=y",
                                                 "option -o", "value out", "operand -", "option -o=z",
                                                 "value v", "operand -q", "operand --n=1"}));

    CArgWalker last(std::vector<std::string>{"--charset"});
    ASSERT_TRUE(last.Next(strWord, bOperand));
    EXPECT_FALSE(last.Value(strValue, strError));
    EXPECT_EQ(strError, "option --charset needs a value");

    // A switch given a value is no switch.
    SConvertOptions opt;
    EXPECT_FALSE(ParseConvertOptions({"a.chm", "--no-index=1"}, opt, strError));
    EXPECT_EQ(strError, "unknown option '--no-index=1'");
    EXPECT_EQ(opt.bShowIndex, 1);
}
