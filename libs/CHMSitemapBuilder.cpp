#include "CHMSitemapBuilder.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace
{
struct STagInfo
{
    std::string_view svName;
    uint32_t nFlags;
};

constexpr uint32_t kS = kSpecial;
constexpr uint32_t kBlock = kSpecial | kClosesP | kBlockEnd;

// Sorted by name.
constexpr STagInfo g_aTags[] = {
    {"a", kFormatting},
    {"address", kBlock},
    {"applet", kS | kScope},
    {"area", kS | kVoid},
    {"article", kBlock},
    {"aside", kBlock},
    {"b", kFormatting},
    {"base", kS | kHeadContent | kVoid},
    {"basefont", kS | kHeadContent | kVoid},
    {"bgsound", kS | kHeadContent | kVoid},
    {"big", kFormatting},
    {"blockquote", kBlock},
    {"body", kS},
    {"br", kS | kVoid},
    {"button", kS | kButtonScope | kBlockEnd},
    {"caption", kS | kScope},
    {"center", kBlock},
    {"code", kFormatting},
    {"col", kS},
    {"colgroup", kS},
    {"dd", kS | kImpliedEnd},
    {"details", kBlock},
    {"dir", kBlock},
    {"div", kBlock},
    {"dl", kBlock},
    {"dt", kS | kImpliedEnd},
    {"em", kFormatting},
    {"embed", kS | kVoid},
    {"fieldset", kBlock},
    {"figcaption", kBlock},
    {"figure", kBlock},
    {"font", kFormatting},
    {"footer", kBlock},
    {"form", kS},
    {"frame", kS},
    {"frameset", kS},
    {"h1", kS | kHeading},
    {"h2", kS | kHeading},
    {"h3", kS | kHeading},
    {"h4", kS | kHeading},
    {"h5", kS | kHeading},
    {"h6", kS | kHeading},
    {"head", kS},
    {"header", kBlock},
    {"hgroup", kBlock},
    {"hr", kS | kVoid},
    {"html", kS | kScope},
    {"i", kFormatting},
    {"iframe", kS},
    {"img", kS | kVoid},
    {"input", kS | kVoid},
    {"keygen", kS | kVoid},
    {"li", kS | kImpliedEnd},
    {"link", kS | kHeadContent | kVoid},
    {"listing", kS | kBlockEnd},
    {"main", kBlock},
    {"marquee", kS | kScope},
    {"menu", kBlock},
    {"meta", kS | kHeadContent | kVoid},
    {"nav", kBlock},
    {"nobr", kFormatting},
    {"noembed", kS},
    {"noframes", kS | kHeadContent},
    {"noscript", kS},
    {"object", kS | kScope},
    {"ol", kBlock | kListScope},
    {"optgroup", kImpliedEnd},
    {"option", kImpliedEnd},
    {"p", kS | kImpliedEnd | kClosesP},
    {"param", kS | kVoid},
    {"plaintext", kS},
    {"pre", kS | kBlockEnd},
    {"rp", kImpliedEnd},
    {"rt", kImpliedEnd},
    {"s", kFormatting},
    {"script", kS | kHeadContent},
    {"section", kBlock},
    {"select", kS},
    {"small", kFormatting},
    {"source", kS | kVoid},
    {"strike", kFormatting},
    {"strong", kFormatting},
    {"style", kS | kHeadContent},
    {"summary", kBlock},
    {"table", kS | kScope},
    {"tbody", kS},
    {"td", kS | kScope},
    {"template", kS | kScope | kHeadContent},
    {"textarea", kS},
    {"tfoot", kS},
    {"th", kS | kScope},
    {"thead", kS},
    {"title", kS | kHeadContent},
    {"tr", kS},
    {"track", kS | kVoid},
    {"tt", kFormatting},
    {"u", kFormatting},
    {"ul", kBlock | kListScope},
    {"wbr", kS | kVoid},
    {"xmp", kS},
};

static_assert(std::is_sorted(std::begin(g_aTags), std::end(g_aTags),
                             [](const STagInfo& a, const STagInfo& b) { return a.svName < b.svName; }));

} // namespace

namespace
{
/// Index of the name in the table, or the table's size.
size_t TagIndex(std::string_view svName)
{
    const STagInfo* pEnd = std::end(g_aTags);
    const STagInfo* p =
        std::lower_bound(std::begin(g_aTags), pEnd, svName,
                         [](const STagInfo& a, std::string_view sv) { return a.svName < sv; });
    return p != pEnd && p->svName == svName ? static_cast<size_t>(p - std::begin(g_aTags))
                                            : std::size(g_aTags);
}
} // namespace

uint32_t SitemapTag_Flags(std::string_view svName)
{
    const size_t nIndex = TagIndex(svName);
    return nIndex < std::size(g_aTags) ? g_aTags[nIndex].nFlags : 0;
}

namespace
{
uint32_t NameHash(std::string_view sv)
{
    uint32_t nHash = 2166136261u;
    for (const char c : sv)
        nHash = (nHash ^ static_cast<unsigned char>(c)) * 16777619u;
    return nHash;
}
} // namespace

uint32_t CSitemapTreeBuilder::Name_Find(std::string_view svName) const
{
    const size_t nMask = m_vecNameSlots.size() - 1;
    for (size_t i = NameHash(svName) & nMask;; i = (i + 1) & nMask)
    {
        const uint32_t nSlot = m_vecNameSlots[i];
        if (nSlot == 0)
            return kNone;
        if (Name(nSlot - 1) == svName)
            return nSlot - 1;
    }
}

void CSitemapTreeBuilder::Name_Slot(uint32_t nName)
{
    const size_t nMask = m_vecNameSlots.size() - 1;
    size_t i = NameHash(Name(nName)) & nMask;
    while (m_vecNameSlots[i] != 0)
        i = (i + 1) & nMask;
    m_vecNameSlots[i] = nName + 1;
}

uint32_t CSitemapTreeBuilder::Name_Intern(std::string_view svName)
{
    const uint32_t nFound = Name_Find(svName);
    if (nFound != kNone)
        return nFound;
    const uint32_t nName = static_cast<uint32_t>(NameCount());
    m_vecNames.emplace_back(svName);
    // Kept at most half full, so that a miss ends soon at a free slot.
    if (NameCount() * 2 > m_vecNameSlots.size())
    {
        m_vecNameSlots.assign(m_vecNameSlots.size() * 2, 0);
        for (uint32_t n = 0; n < NameCount(); ++n)
            Name_Slot(n);
    }
    else
        Name_Slot(nName);
    return nName;
}

uint32_t CSitemapTreeBuilder::TagFlags(std::string_view svName) const
{
    const uint32_t nName = Name_Find(svName);
    return nName < std::size(g_aTags) ? g_aTags[nName].nFlags : 0;
}

std::string_view CSitemapTreeBuilder::Name(uint32_t nName) const
{
    return nName < std::size(g_aTags) ? g_aTags[nName].svName
                                      : std::string_view(m_vecNames[nName - std::size(g_aTags)]);
}

size_t CSitemapTreeBuilder::NameCount() const
{
    return std::size(g_aTags) + m_vecNames.size();
}

namespace
{

// The formatting elements reopened after a list item or paragraph closed them are few; more than
// three alike in a row would only repeat themselves.
constexpr size_t kMaxAlikeFormatting = 3;
constexpr int kAdoptionOuterRounds = 8;
constexpr int kAdoptionInnerKeep = 3;
} // namespace

CSitemapTreeBuilder::CSitemapTreeBuilder(const char* pInput) : m_pInput(pInput)
{
    m_vecNodes.emplace_back(); // the document
    m_vecNameSlots.assign(256, 0);
    for (uint32_t nName = 0; nName < std::size(g_aTags); ++nName)
        Name_Slot(nName);
}

uint32_t CSitemapTreeBuilder::Node_New(uint32_t nName, uint32_t nAttrBegin, uint32_t nAttrCount)
{
    SNode& node = m_vecNodes.emplace_back();
    node.nName = nName;
    node.nFlags = nName < std::size(g_aTags) ? g_aTags[nName].nFlags : 0;
    node.nAttrBegin = nAttrBegin;
    node.nAttrCount = nAttrCount;
    return static_cast<uint32_t>(m_vecNodes.size() - 1);
}

uint32_t CSitemapTreeBuilder::Node_Clone(uint32_t nNode)
{
    const SNode& node = m_vecNodes[nNode];
    return Node_New(node.nName, node.nAttrBegin, node.nAttrCount);
}

void CSitemapTreeBuilder::Node_Append(uint32_t nParent, uint32_t nChild)
{
    SNode& parent = m_vecNodes[nParent];
    SNode& child = m_vecNodes[nChild];
    child.nParent = nParent;
    child.nPrev = parent.nLast;
    child.nNext = kNone;
    if (parent.nLast != kNone)
        m_vecNodes[parent.nLast].nNext = nChild;
    else
        parent.nFirst = nChild;
    parent.nLast = nChild;
    ++parent.nChildren;
}

void CSitemapTreeBuilder::Node_Detach(uint32_t nNode)
{
    SNode& node = m_vecNodes[nNode];
    if (node.nParent == kNone)
        return;
    SNode& parent = m_vecNodes[node.nParent];
    if (node.nPrev != kNone)
        m_vecNodes[node.nPrev].nNext = node.nNext;
    else
        parent.nFirst = node.nNext;
    if (node.nNext != kNone)
        m_vecNodes[node.nNext].nPrev = node.nPrev;
    else
        parent.nLast = node.nPrev;
    --parent.nChildren;
    node.nParent = node.nPrev = node.nNext = kNone;
}

uint32_t CSitemapTreeBuilder::Insert(std::string_view svName, std::vector<SSitemapAttr>* pAttrs)
{
    const uint32_t nBegin = static_cast<uint32_t>(m_vecAttrs.size());
    uint32_t nCount = 0;
    if (pAttrs != nullptr)
    {
        nCount = static_cast<uint32_t>(pAttrs->size());
        std::move(pAttrs->begin(), pAttrs->end(), std::back_inserter(m_vecAttrs));
        pAttrs->clear();
    }
    const uint32_t nNode = Node_New(Name_Intern(svName), nBegin, nCount);
    Node_Append(Current(), nNode);
    m_vecOpen.push_back(nNode);
    return nNode;
}

void CSitemapTreeBuilder::MergeAttrs(uint32_t nNode, std::vector<SSitemapAttr>& vecAttrs)
{
    if (nNode == kNone)
        return;
    SNode& node = m_vecNodes[nNode];
    std::vector<SSitemapAttr> vecMerged(m_vecAttrs.begin() + node.nAttrBegin,
                                        m_vecAttrs.begin() + node.nAttrBegin + node.nAttrCount);
    const size_t nOwn = vecMerged.size();
    for (SSitemapAttr& attr : vecAttrs)
    {
        const auto itEnd = vecMerged.begin() + static_cast<std::ptrdiff_t>(nOwn);
        if (std::none_of(vecMerged.begin(), itEnd,
                         [&](const SSitemapAttr& a) { return a.nName == attr.nName; }))
            vecMerged.push_back(std::move(attr));
    }
    if (vecMerged.size() == nOwn)
        return;
    node.nAttrBegin = static_cast<uint32_t>(m_vecAttrs.size());
    node.nAttrCount = static_cast<uint32_t>(vecMerged.size());
    std::move(vecMerged.begin(), vecMerged.end(), std::back_inserter(m_vecAttrs));
}

bool CSitemapTreeBuilder::CurrentIs(std::string_view svName) const
{
    return !m_vecOpen.empty() && NodeName(m_vecOpen.back()) == svName;
}

void CSitemapTreeBuilder::PopUntil(std::string_view svName)
{
    while (!m_vecOpen.empty())
    {
        const bool bFound = NodeName(m_vecOpen.back()) == svName;
        Pop();
        if (bFound)
            return;
    }
}

bool CSitemapTreeBuilder::InScope(std::string_view svName, uint32_t nExtraBoundary) const
{
    for (size_t i = m_vecOpen.size(); i-- > 0;)
    {
        const SNode& node = m_vecNodes[m_vecOpen[i]];
        if (Name(node.nName) == svName)
            return true;
        if ((node.nFlags & (kScope | nExtraBoundary)) != 0)
            return false;
    }
    return false;
}

bool CSitemapTreeBuilder::InScope(uint32_t nNode) const
{
    for (size_t i = m_vecOpen.size(); i-- > 0;)
    {
        if (m_vecOpen[i] == nNode)
            return true;
        if ((m_vecNodes[m_vecOpen[i]].nFlags & kScope) != 0)
            return false;
    }
    return false;
}

void CSitemapTreeBuilder::GenerateImpliedEnds(std::string_view svExcept)
{
    while (!m_vecOpen.empty())
    {
        const SNode& node = m_vecNodes[m_vecOpen.back()];
        if ((node.nFlags & kImpliedEnd) == 0 || Name(node.nName) == svExcept)
            return;
        Pop();
    }
}

void CSitemapTreeBuilder::CloseP()
{
    if (!InScope("p", kButtonScope))
        return;
    GenerateImpliedEnds("p");
    PopUntil("p");
}

void CSitemapTreeBuilder::CloseListItem(bool bDefinition)
{
    for (size_t i = m_vecOpen.size(); i-- > 0;)
    {
        const SNode& node = m_vecNodes[m_vecOpen[i]];
        const bool bItem =
            bDefinition ? (Name(node.nName) == "dd" || Name(node.nName) == "dt") : Name(node.nName) == "li";
        if (bItem)
        {
            const std::string_view svName = Name(node.nName);
            GenerateImpliedEnds(svName);
            PopUntil(svName);
            break;
        }
        if ((node.nFlags & kSpecial) != 0 && Name(node.nName) != "address" && Name(node.nName) != "div" &&
            Name(node.nName) != "p")
            break;
    }
    CloseP();
}

size_t CSitemapTreeBuilder::FindFormatting(uint32_t nNode) const
{
    for (size_t i = m_vecFormatting.size(); i-- > 0;)
    {
        if (m_vecFormatting[i] == nNode)
            return i;
    }
    return SIZE_MAX;
}

size_t CSitemapTreeBuilder::FindOpen(uint32_t nNode) const
{
    for (size_t i = m_vecOpen.size(); i-- > 0;)
    {
        if (m_vecOpen[i] == nNode)
            return i;
    }
    return SIZE_MAX;
}

void CSitemapTreeBuilder::Reconstruct()
{
    if (m_vecFormatting.empty())
        return;
    size_t i = m_vecFormatting.size() - 1;
    if (m_vecFormatting[i] == kNone || FindOpen(m_vecFormatting[i]) != SIZE_MAX)
        return;
    while (i > 0 && m_vecFormatting[i - 1] != kNone && FindOpen(m_vecFormatting[i - 1]) == SIZE_MAX)
        --i;
    for (; i < m_vecFormatting.size(); ++i)
    {
        const uint32_t nClone = Node_Clone(m_vecFormatting[i]);
        Node_Append(Current(), nClone);
        m_vecOpen.push_back(nClone);
        m_vecFormatting[i] = nClone;
    }
}

void CSitemapTreeBuilder::PushFormatting(uint32_t nNode)
{
    const SNode& node = m_vecNodes[nNode];
    size_t nAlike = 0;
    size_t nEarliest = SIZE_MAX;
    for (size_t i = m_vecFormatting.size(); i-- > 0;)
    {
        const uint32_t nOther = m_vecFormatting[i];
        if (nOther == kNone)
            break;
        const SNode& other = m_vecNodes[nOther];
        if (other.nName != node.nName || other.nAttrCount != node.nAttrCount)
            continue;
        bool bSame = true;
        for (uint32_t a = 0; a < node.nAttrCount && bSame; ++a)
        {
            const SSitemapAttr& attr = m_vecAttrs[node.nAttrBegin + a];
            bSame = false;
            for (uint32_t b = 0; b < other.nAttrCount; ++b)
            {
                const SSitemapAttr& otherAttr = m_vecAttrs[other.nAttrBegin + b];
                if (otherAttr.nName == attr.nName && Value(otherAttr) == Value(attr))
                    bSame = true;
            }
        }
        if (bSame)
        {
            ++nAlike;
            nEarliest = i;
        }
    }
    if (nAlike >= kMaxAlikeFormatting)
        m_vecFormatting.erase(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nEarliest));
    m_vecFormatting.push_back(nNode);
}

void CSitemapTreeBuilder::ClearFormattingToMarker()
{
    while (!m_vecFormatting.empty())
    {
        const uint32_t nEntry = m_vecFormatting.back();
        m_vecFormatting.pop_back();
        if (nEntry == kNone)
            return;
    }
}

void CSitemapTreeBuilder::AnyOtherEnd(std::string_view svName)
{
    for (size_t i = m_vecOpen.size(); i-- > 0;)
    {
        const SNode& node = m_vecNodes[m_vecOpen[i]];
        if (Name(node.nName) == svName)
        {
            GenerateImpliedEnds(svName);
            m_vecOpen.resize(std::min(m_vecOpen.size(), i));
            return;
        }
        if ((node.nFlags & kSpecial) != 0)
            return;
    }
}

// Misnested formatting ("<b><p>x</b>") is split as a browser splits it: the block moves out of
// the formatting element and a copy of it wraps the block's contents.
void CSitemapTreeBuilder::AdoptionAgency(std::string_view svName)
{
    if (CurrentIs(svName) && FindFormatting(Current()) == SIZE_MAX)
    {
        Pop();
        return;
    }
    for (int nOuter = 0; nOuter < kAdoptionOuterRounds; ++nOuter)
    {
        size_t nEntry = SIZE_MAX;
        for (size_t i = m_vecFormatting.size(); i-- > 0;)
        {
            if (m_vecFormatting[i] == kNone)
                break;
            if (NodeName(m_vecFormatting[i]) == svName)
            {
                nEntry = i;
                break;
            }
        }
        if (nEntry == SIZE_MAX)
        {
            AnyOtherEnd(svName);
            return;
        }
        const uint32_t nElement = m_vecFormatting[nEntry];
        const size_t nOpenAt = FindOpen(nElement);
        if (nOpenAt == SIZE_MAX)
        {
            m_vecFormatting.erase(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nEntry));
            return;
        }
        if (!InScope(nElement))
            return;
        size_t nBlockAt = SIZE_MAX;
        for (size_t i = nOpenAt + 1; i < m_vecOpen.size(); ++i)
        {
            if ((m_vecNodes[m_vecOpen[i]].nFlags & kSpecial) != 0)
            {
                nBlockAt = i;
                break;
            }
        }
        if (nBlockAt == SIZE_MAX)
        {
            m_vecOpen.resize(nOpenAt);
            m_vecFormatting.erase(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nEntry));
            return;
        }
        const uint32_t nBlock = m_vecOpen[nBlockAt];
        const uint32_t nAncestor = m_vecOpen[nOpenAt - 1];
        size_t nBookmark = nEntry;
        uint32_t nLast = nBlock;
        size_t nAt = nBlockAt;
        for (int nInner = 1;; ++nInner)
        {
            --nAt;
            uint32_t nNode = m_vecOpen[nAt];
            if (nNode == nElement)
                break;
            size_t nNodeEntry = FindFormatting(nNode);
            if (nInner > kAdoptionInnerKeep && nNodeEntry != SIZE_MAX)
            {
                m_vecFormatting.erase(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nNodeEntry));
                if (nNodeEntry < nBookmark)
                    --nBookmark;
                nNodeEntry = SIZE_MAX;
            }
            if (nNodeEntry == SIZE_MAX)
            {
                m_vecOpen.erase(m_vecOpen.begin() + static_cast<std::ptrdiff_t>(nAt));
                continue;
            }
            nNode = Node_Clone(nNode);
            m_vecFormatting[nNodeEntry] = nNode;
            m_vecOpen[nAt] = nNode;
            if (nLast == nBlock)
                nBookmark = nNodeEntry + 1;
            Node_Detach(nLast);
            Node_Append(nNode, nLast);
            nLast = nNode;
        }
        Node_Detach(nLast);
        Node_Append(nAncestor, nLast);

        const uint32_t nNew = Node_Clone(nElement);
        while (m_vecNodes[nBlock].nFirst != kNone)
        {
            const uint32_t nChild = m_vecNodes[nBlock].nFirst;
            Node_Detach(nChild);
            Node_Append(nNew, nChild);
        }
        Node_Append(nBlock, nNew);

        const size_t nOldEntry = FindFormatting(nElement);
        m_vecFormatting.erase(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nOldEntry));
        if (nOldEntry < nBookmark)
            --nBookmark;
        m_vecFormatting.insert(m_vecFormatting.begin() + static_cast<std::ptrdiff_t>(nBookmark), nNew);

        m_vecOpen.erase(m_vecOpen.begin() + static_cast<std::ptrdiff_t>(FindOpen(nElement)));
        m_vecOpen.insert(m_vecOpen.begin() + static_cast<std::ptrdiff_t>(FindOpen(nBlock)) + 1, nNew);
    }
}

bool CSitemapNesting::Tag_Drop(std::string_view svName, bool bEnd)
{
    static constexpr std::string_view aLists[] = {"ul", "ol", "dir", "menu"};
    static constexpr std::string_view aOther[] = {"div", "span",   "font",   "b",   "i",          "u",
                                                  "em",  "strong", "small",  "big", "s",          "strike",
                                                  "tt",  "code",   "center", "sub", "blockquote", "sup"};
    // Every tag of a sitemap comes here: most are none of these and differ from them in their first letter.
    static constexpr std::string_view svFirst = "bcdefimostu";
    if (svName.empty() || svFirst.find(svName[0]) == std::string_view::npos)
        return false;
    const bool bList = std::find(std::begin(aLists), std::end(aLists), svName) != std::end(aLists);
    if (!bList && std::find(std::begin(aOther), std::end(aOther), svName) == std::end(aOther))
        return false;
    size_t& nDepth = bList ? m_nLists : m_nOther;
    const size_t nMax = bList ? m_nMaxLists : m_nMaxOther;
    if (!bEnd)
        return ++nDepth > nMax;
    return nDepth > 0 && nDepth-- > nMax;
}
