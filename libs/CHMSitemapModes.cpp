#include "CHMSitemapBuilder.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace
{
bool IsOneOf(std::string_view svName, std::initializer_list<std::string_view> list)
{
    return std::find(list.begin(), list.end(), svName) != list.end();
}
} // namespace

ESitemapContent CSitemapTreeBuilder::Raw(ESitemapContent eContent)
{
    if (eContent == ESitemapContent::kRaw)
    {
        m_bRaw = true;
        m_eRawReturn = m_eMode;
    }
    return eContent;
}

// One step of what "anything else" does before the body: the missing document element, head and
// body come into being. False once the body is there.
bool CSitemapTreeBuilder::AdvanceTowardsBody()
{
    switch (m_eMode)
    {
    case EMode::kInitial:
        m_eMode = EMode::kBeforeHtml;
        return true;
    case EMode::kBeforeHtml:
        m_nHtml = Insert("html", nullptr);
        m_eMode = EMode::kBeforeHead;
        return true;
    case EMode::kBeforeHead:
        m_nHead = Insert("head", nullptr);
        m_eMode = EMode::kInHead;
        return true;
    case EMode::kInHead:
        Pop();
        m_eMode = EMode::kAfterHead;
        return true;
    case EMode::kInHeadNoscript:
        Pop();
        m_eMode = EMode::kInHead;
        return true;
    case EMode::kAfterHead:
        Insert("body", nullptr);
        m_eMode = EMode::kInBody;
        return true;
    case EMode::kAfterBody:
    case EMode::kAfterAfterBody:
        m_eMode = EMode::kInBody;
        return true;
    case EMode::kInBody:
        break;
    }
    return false;
}

ESitemapContent CSitemapTreeBuilder::StartInHead(std::string_view svName, std::vector<SSitemapAttr>& vecAttrs,
                                                 bool& bDone)
{
    bDone = true;
    const uint32_t nFlags = TagFlags(svName);
    if ((nFlags & kVoid) != 0 && (nFlags & kHeadContent) != 0)
    {
        Insert(svName, &vecAttrs);
        Pop();
        return ESitemapContent::kMarkup;
    }
    if (svName == "title" || svName == "noframes" || svName == "style" || svName == "script")
    {
        Insert(svName, &vecAttrs);
        return Raw(ESitemapContent::kRaw);
    }
    if (svName == "template")
    {
        Insert(svName, &vecAttrs);
        return ESitemapContent::kMarkup;
    }
    bDone = false;
    return ESitemapContent::kMarkup;
}

ESitemapContent CSitemapTreeBuilder::Tag_Start(std::string_view svName, std::vector<SSitemapAttr>& vecAttrs)
{
    if (svName == "image")
        svName = "img";
    for (;;)
    {
        bool bDone = false;
        ESitemapContent eContent = ESitemapContent::kMarkup;
        switch (m_eMode)
        {
        case EMode::kBeforeHtml:
            if (svName == "html")
            {
                m_nHtml = Insert(svName, &vecAttrs);
                m_eMode = EMode::kBeforeHead;
                return ESitemapContent::kMarkup;
            }
            break;
        case EMode::kBeforeHead:
            if (svName == "html")
                return StartInBody(svName, vecAttrs);
            if (svName == "head")
            {
                m_nHead = Insert(svName, &vecAttrs);
                m_eMode = EMode::kInHead;
                return ESitemapContent::kMarkup;
            }
            break;
        case EMode::kInHead:
            if (svName == "html")
                return StartInBody(svName, vecAttrs);
            if (svName == "noscript")
            {
                Insert(svName, &vecAttrs);
                m_eMode = EMode::kInHeadNoscript;
                return ESitemapContent::kMarkup;
            }
            if (svName == "head")
                return ESitemapContent::kMarkup;
            eContent = StartInHead(svName, vecAttrs, bDone);
            if (bDone)
                return eContent;
            break;
        case EMode::kInHeadNoscript:
            if (svName == "html")
                return StartInBody(svName, vecAttrs);
            if (svName == "head" || svName == "noscript")
                return ESitemapContent::kMarkup;
            if (IsOneOf(svName, {"basefont", "bgsound", "link", "meta", "noframes", "style"}))
                return StartInHead(svName, vecAttrs, bDone);
            break;
        case EMode::kAfterHead:
            if (svName == "html")
                return StartInBody(svName, vecAttrs);
            if (svName == "body")
            {
                Insert(svName, &vecAttrs);
                m_eMode = EMode::kInBody;
                return ESitemapContent::kMarkup;
            }
            if (svName == "head")
                return ESitemapContent::kMarkup;
            if ((TagFlags(svName) & kHeadContent) != 0 && m_nHead != kNone)
            {
                m_vecOpen.push_back(m_nHead);
                eContent = StartInHead(svName, vecAttrs, bDone);
                m_vecOpen.erase(m_vecOpen.begin() + static_cast<std::ptrdiff_t>(FindOpen(m_nHead)));
                return eContent;
            }
            break;
        case EMode::kInBody:
            return StartInBody(svName, vecAttrs);
        case EMode::kAfterBody:
        case EMode::kAfterAfterBody:
            if (svName == "html")
                return StartInBody(svName, vecAttrs);
            break;
        case EMode::kInitial:
            break;
        }
        AdvanceTowardsBody();
    }
}

ESitemapContent CSitemapTreeBuilder::StartInBody(std::string_view svName, std::vector<SSitemapAttr>& vecAttrs)
{
    const uint32_t nFlags = TagFlags(svName);
    if (svName == "html")
    {
        MergeAttrs(m_nHtml, vecAttrs);
        return ESitemapContent::kMarkup;
    }
    if ((nFlags & kHeadContent) != 0)
    {
        bool bDone = false;
        return StartInHead(svName, vecAttrs, bDone);
    }
    if (svName == "body")
    {
        if (m_vecOpen.size() >= 2 && NodeName(m_vecOpen[1]) == "body")
            MergeAttrs(m_vecOpen[1], vecAttrs);
        return ESitemapContent::kMarkup;
    }
    if ((nFlags & kClosesP) != 0)
    {
        CloseP();
        Insert(svName, &vecAttrs);
        return ESitemapContent::kMarkup;
    }
    if ((nFlags & kHeading) != 0)
    {
        CloseP();
        if (!m_vecOpen.empty() && (m_vecNodes[Current()].nFlags & kHeading) != 0)
            Pop();
        Insert(svName, &vecAttrs);
        return ESitemapContent::kMarkup;
    }
    if (svName == "li" || svName == "dd" || svName == "dt")
    {
        CloseListItem(svName != "li");
        Insert(svName, &vecAttrs);
        return ESitemapContent::kMarkup;
    }
    if (svName == "pre" || svName == "listing" || svName == "hr" || svName == "xmp" || svName == "plaintext")
    {
        CloseP();
        if (svName == "xmp")
            Reconstruct();
        Insert(svName, &vecAttrs);
        if (svName == "hr")
            Pop();
        if (svName == "xmp")
            return Raw(ESitemapContent::kRaw);
        return svName == "plaintext" ? ESitemapContent::kPlaintext : ESitemapContent::kMarkup;
    }
    if (svName == "form")
    {
        if (m_nForm == kNone)
        {
            CloseP();
            m_nForm = Insert(svName, &vecAttrs);
        }
        return ESitemapContent::kMarkup;
    }
    if (svName == "button" && InScope("button", 0))
    {
        GenerateImpliedEnds(std::string_view());
        PopUntil("button");
    }
    if (svName == "a")
    {
        for (size_t i = m_vecFormatting.size(); i-- > 0 && m_vecFormatting[i] != kNone;)
        {
            const uint32_t nOpenA = m_vecFormatting[i];
            if (NodeName(nOpenA) != "a")
                continue;
            AdoptionAgency("a");
            const size_t nEntry = FindFormatting(nOpenA);
            if (nEntry != SIZE_MAX)
                m_vecFormatting.erase(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nEntry));
            const size_t nOpenAt = FindOpen(nOpenA);
            if (nOpenAt != SIZE_MAX)
                m_vecOpen.erase(m_vecOpen.begin() + static_cast<std::ptrdiff_t>(nOpenAt));
            break;
        }
    }
    if (svName == "nobr")
    {
        Reconstruct();
        if (InScope("nobr", 0))
            AdoptionAgency("nobr");
    }
    if ((nFlags & kFormatting) != 0)
    {
        Reconstruct();
        PushFormatting(Insert(svName, &vecAttrs));
        return ESitemapContent::kMarkup;
    }
    if (svName == "applet" || svName == "marquee" || svName == "object")
    {
        Reconstruct();
        Insert(svName, &vecAttrs);
        m_vecFormatting.push_back(kNone);
        return ESitemapContent::kMarkup;
    }
    if ((nFlags & kVoid) != 0)
    {
        if (svName != "param" && svName != "source" && svName != "track")
            Reconstruct();
        Insert(svName, &vecAttrs);
        Pop();
        return ESitemapContent::kMarkup;
    }
    if (svName == "textarea" || svName == "iframe" || svName == "noembed")
    {
        Insert(svName, &vecAttrs);
        return Raw(ESitemapContent::kRaw);
    }
    if (svName == "optgroup" || svName == "option")
    {
        if (CurrentIs("option"))
            Pop();
    }
    if (IsOneOf(svName, {"caption", "col", "colgroup", "frame", "frameset", "head", "tbody", "td", "tfoot",
                         "th", "thead", "tr"}))
        return ESitemapContent::kMarkup;
    Reconstruct();
    Insert(svName, &vecAttrs);
    return ESitemapContent::kMarkup;
}

void CSitemapTreeBuilder::Tag_End(std::string_view svName)
{
    if (m_bRaw)
    {
        Pop();
        m_bRaw = false;
        m_eMode = m_eRawReturn;
        return;
    }
    const bool bStructural = svName == "head" || svName == "body" || svName == "html" || svName == "br";
    for (;;)
    {
        switch (m_eMode)
        {
        case EMode::kInitial:
            break;
        case EMode::kBeforeHtml:
        case EMode::kBeforeHead:
        case EMode::kAfterHead:
            if (!bStructural || (svName == "head" && m_eMode == EMode::kAfterHead))
                return;
            break;
        case EMode::kInHead:
            if (svName == "head")
            {
                Pop();
                m_eMode = EMode::kAfterHead;
                return;
            }
            if (!bStructural)
                return;
            break;
        case EMode::kInHeadNoscript:
            if (svName == "noscript")
            {
                Pop();
                m_eMode = EMode::kInHead;
                return;
            }
            if (svName != "br")
                return;
            break;
        case EMode::kInBody:
            EndInBody(svName);
            return;
        case EMode::kAfterBody:
            if (svName == "html")
            {
                m_eMode = EMode::kAfterAfterBody;
                return;
            }
            break;
        case EMode::kAfterAfterBody:
            break;
        }
        AdvanceTowardsBody();
    }
}

void CSitemapTreeBuilder::EndInBody(std::string_view svName)
{
    const uint32_t nFlags = TagFlags(svName);
    if (svName == "body" || svName == "html")
    {
        if (InScope("body", 0))
            m_eMode = svName == "html" ? EMode::kAfterAfterBody : EMode::kAfterBody;
        return;
    }
    if ((nFlags & kBlockEnd) != 0 || svName == "applet" || svName == "marquee" || svName == "object")
    {
        if (!InScope(svName, 0))
            return;
        GenerateImpliedEnds(std::string_view());
        PopUntil(svName);
        if ((nFlags & kScope) != 0)
            ClearFormattingToMarker();
        return;
    }
    if (svName == "form")
    {
        const uint32_t nForm = std::exchange(m_nForm, kNone);
        if (nForm == kNone || !InScope(nForm))
            return;
        GenerateImpliedEnds(std::string_view());
        m_vecOpen.erase(m_vecOpen.begin() + static_cast<std::ptrdiff_t>(FindOpen(nForm)));
        return;
    }
    if (svName == "p")
    {
        if (!InScope("p", kButtonScope))
        {
            Insert("p", nullptr);
        }
        CloseP();
        return;
    }
    if (svName == "li" || svName == "dd" || svName == "dt")
    {
        if (!InScope(svName, svName == "li" ? static_cast<uint32_t>(kListScope) : 0u))
            return;
        GenerateImpliedEnds(svName);
        PopUntil(svName);
        return;
    }
    if ((nFlags & kHeading) != 0)
    {
        if (!InScope("h1", 0) && !InScope("h2", 0) && !InScope("h3", 0) && !InScope("h4", 0) &&
            !InScope("h5", 0) && !InScope("h6", 0))
            return;
        GenerateImpliedEnds(std::string_view());
        while (!m_vecOpen.empty())
        {
            const bool bHeading = (m_vecNodes[Current()].nFlags & kHeading) != 0;
            Pop();
            if (bHeading)
                break;
        }
        return;
    }
    if ((nFlags & kFormatting) != 0)
    {
        AdoptionAgency(svName);
        return;
    }
    if (svName == "br")
    {
        Reconstruct();
        Insert("br", nullptr);
        Pop();
        return;
    }
    AnyOtherEnd(svName);
}

void CSitemapTreeBuilder::Text_Add(bool bNonSpace, bool bShown)
{
    if (m_bRaw)
        return;
    while (bNonSpace && AdvanceTowardsBody())
    {
    }
    if (bShown &&
        (m_eMode == EMode::kInBody || m_eMode == EMode::kAfterBody || m_eMode == EMode::kAfterAfterBody))
        Reconstruct();
}

void CSitemapTreeBuilder::Doctype_Add()
{
    if (m_eMode == EMode::kInitial)
        m_eMode = EMode::kBeforeHtml;
}

void CSitemapTreeBuilder::Finish()
{
    if (m_bRaw)
    {
        Pop();
        m_bRaw = false;
        m_eMode = m_eRawReturn;
    }
    while (m_eMode != EMode::kAfterBody && m_eMode != EMode::kAfterAfterBody && AdvanceTowardsBody())
    {
    }
}
