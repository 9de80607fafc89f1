#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// What a tag name stands for in building the tree.
enum ESitemapTagFlag : uint32_t
{
    kSpecial = 1u << 0,
    kScope = 1u << 1,       ///< bounds every scope
    kListScope = 1u << 2,   ///< bounds the list item scope too
    kButtonScope = 1u << 3, ///< bounds the button scope too
    kFormatting = 1u << 4,
    kImpliedEnd = 1u << 5,
    kClosesP = 1u << 6, ///< its start tag closes an open paragraph
    kBlockEnd = 1u << 7,
    kHeading = 1u << 8,
    kHeadContent = 1u << 9, ///< read by the head's rules wherever it stands
    kVoid = 1u << 10,
};

/// The flags of a tag name (lower case); 0 for a name without a rule of its own.
uint32_t SitemapTag_Flags(std::string_view svName);

/// One attribute of a tag: the name lower-cased and interned, the value as written (an offset and a length
/// into the sitemap's bytes, without quotes, character references unresolved).
struct SSitemapAttr
{
    uint32_t nName = 0; ///< see CSitemapTreeBuilder::Name
    size_t nValue = 0;
    size_t nValueLength = 0;
};

/// What the tokenizer reads after a start tag.
enum class ESitemapContent
{
    kMarkup,   ///< tags and text as usual
    kRaw,      ///< text up to the element's own end tag
    kPlaintext ///< text to the end of the input
};

/// Builds the element tree an HTML parser builds from a sitemap's tokens: the implied document
/// element, head and body, list items and paragraphs that the next one closes, lists left open,
/// objects as scope boundaries, formatting elements reopened and moved as a browser does. Tables,
/// forms' own modes, framesets and foreign content are read as plain elements. Text and comments
/// build no element. Time and memory are linear in the input for sitemaps; the open elements are
/// searched only down to the nearest boundary.
class CSitemapTreeBuilder
{
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    /// An element (or, at index 0, the document); tree links are node indexes or kNone.
    struct SNode
    {
        uint32_t nName = 0; ///< see Name
        uint32_t nFlags = 0;
        uint32_t nAttrBegin = 0;
        uint32_t nAttrCount = 0;
        uint32_t nParent = kNone;
        uint32_t nFirst = kNone;
        uint32_t nLast = kNone;
        uint32_t nPrev = kNone;
        uint32_t nNext = kNone;
        uint32_t nChildren = 0;
    };

    /// The attribute offsets index pInput, which must outlive the builder.
    explicit CSitemapTreeBuilder(const char* pInput);
    CSitemapTreeBuilder(const CSitemapTreeBuilder&) = delete;
    CSitemapTreeBuilder& operator=(const CSitemapTreeBuilder&) = delete;

    /// svName lower case; vecAttrs without repeated names (the first of each kept).
    ESitemapContent Tag_Start(std::string_view svName, std::vector<SSitemapAttr>& vecAttrs);
    /// svName lower case. Ends raw text when one is open, whatever the name.
    void Tag_End(std::string_view svName);
    /// A run of text: bNonSpace when it holds anything but white space, bShown when it holds any
    /// character other than a zero byte.
    void Text_Add(bool bNonSpace, bool bShown);
    void Doctype_Add();
    /// The end of the input.
    void Finish();

    /// Room for about nTags start tags and nAttrs attributes, so that the arrays of a large sitemap
    /// are neither moved as they grow nor left with half their room unused.
    void Reserve(size_t nTags, size_t nAttrs)
    {
        m_vecNodes.reserve(nTags + 1);
        m_vecAttrs.reserve(nAttrs);
    }
    /// The number that stands for a name (lower case) in nodes and attributes.
    uint32_t Name_Intern(std::string_view svName);
    /// Valid while the builder lives.
    std::string_view Name(uint32_t nName) const;
    /// Names are numbered from 0 up to this count.
    size_t NameCount() const;

    const std::vector<SNode>& Nodes() const { return m_vecNodes; }
    /// Frees the nodes once they have been read; names and attributes stay.
    void Nodes_Release() { std::vector<SNode>().swap(m_vecNodes); }
    const std::vector<SSitemapAttr>& Attrs() const { return m_vecAttrs; }

private:
    enum class EMode
    {
        kInitial,
        kBeforeHtml,
        kBeforeHead,
        kInHead,
        kInHeadNoscript,
        kAfterHead,
        kInBody,
        kAfterBody,
        kAfterAfterBody
    };

    /// kNone for a name not interned.
    uint32_t Name_Find(std::string_view svName) const;
    void Name_Slot(uint32_t nName);
    /// As SitemapTag_Flags.
    uint32_t TagFlags(std::string_view svName) const;
    std::string_view NodeName(uint32_t nNode) const { return Name(m_vecNodes[nNode].nName); }
    uint32_t Node_New(uint32_t nName, uint32_t nAttrBegin, uint32_t nAttrCount);
    uint32_t Node_Clone(uint32_t nNode);
    void Node_Append(uint32_t nParent, uint32_t nChild);
    void Node_Detach(uint32_t nNode);
    uint32_t Insert(std::string_view svName, std::vector<SSitemapAttr>* pAttrs);
    void MergeAttrs(uint32_t nNode, std::vector<SSitemapAttr>& vecAttrs);
    uint32_t Current() const { return m_vecOpen.empty() ? 0 : m_vecOpen.back(); }
    bool CurrentIs(std::string_view svName) const;
    void Pop() { m_vecOpen.pop_back(); }
    void PopUntil(std::string_view svName);
    bool InScope(std::string_view svName, uint32_t nExtraBoundary) const;
    bool InScope(uint32_t nNode) const;
    void GenerateImpliedEnds(std::string_view svExcept);
    void CloseP();
    void CloseListItem(bool bDefinition);
    void Reconstruct();
    void PushFormatting(uint32_t nNode);
    size_t FindFormatting(uint32_t nNode) const;
    size_t FindOpen(uint32_t nNode) const;
    void ClearFormattingToMarker();
    void AdoptionAgency(std::string_view svName);
    void AnyOtherEnd(std::string_view svName);
    bool AdvanceTowardsBody();
    ESitemapContent StartInHead(std::string_view svName, std::vector<SSitemapAttr>& vecAttrs, bool& bDone);
    ESitemapContent StartInBody(std::string_view svName, std::vector<SSitemapAttr>& vecAttrs);
    void EndInBody(std::string_view svName);
    ESitemapContent Raw(ESitemapContent eContent);
    std::string_view Value(const SSitemapAttr& attr) const
    {
        return {m_pInput + attr.nValue, attr.nValueLength};
    }

    std::vector<SNode> m_vecNodes;
    std::vector<std::string> m_vecNames; ///< names without a rule of their own
    /// Open addressing over name numbers plus one (0 is free); a power of two in size.
    std::vector<uint32_t> m_vecNameSlots;
    std::vector<SSitemapAttr> m_vecAttrs;
    std::vector<uint32_t> m_vecOpen;
    std::vector<uint32_t> m_vecFormatting; ///< kNone is a marker
    EMode m_eMode = EMode::kInitial;
    EMode m_eRawReturn = EMode::kInitial;
    bool m_bRaw = false;
    uint32_t m_nHtml = kNone;
    uint32_t m_nHead = kNone;
    uint32_t m_nForm = kNone;
    const char* m_pInput;
};

/// Counts the nesting of lists and of other containers whose end a parser never implies, as
/// tags come, to drop the ones beyond the bounds: each deepens the tree and slows every later tag.
class CSitemapNesting
{
public:
    CSitemapNesting(size_t nMaxLists, size_t nMaxOther) : m_nMaxLists(nMaxLists), m_nMaxOther(nMaxOther) {}
    /// svName lower case. True when this tag lies beyond the bounds and is to be dropped.
    bool Tag_Drop(std::string_view svName, bool bEnd);

private:
    size_t m_nMaxLists;
    size_t m_nMaxOther;
    size_t m_nLists = 0;
    size_t m_nOther = 0;
};
