#pragma once

#include <string>
#include <string_view>
#include <vector>

class CCodePage;

/// A page loaded for its title and body text. The page is read as an HTML tokenizer reads it, in one
/// pass and without building a tree: raw-text elements (script, style and the like) and template
/// contents are left out, comments skipped, character references resolved and encoded into the code
/// page ("?" for a character it lacks, a space for a no-break space), and block elements separated
/// by line breaks. Nothing in the page is ever run or fetched. Any input, however broken, nested or
/// large, is read in time linear in its size.
class CHTMLDocument
{
public:
    /// cp must outlive the document.
    explicit CHTMLDocument(const CCodePage& cp) : m_cp(cp) {}
    virtual ~CHTMLDocument() = default;
    CHTMLDocument(const CHTMLDocument&) = delete;
    CHTMLDocument& operator=(const CHTMLDocument&) = delete;

    /// From the next Write on, each Write leaves in *pReferences the values of the page's href, src
    /// and background attributes and the url()s of its style attributes and style elements
    /// (character references resolved), in place of what the list held; pReferences must outlive
    /// the writing; null stops it.
    void SetReferenceList(std::vector<std::string>* pReferences) { m_pReferences = pReferences; }

    /// Reads the whole page (bytes in the code page). A second call starts a new document.
    void Write(std::string_view svPage);
    /// Ends the writing; kept for the callers' order of steps, it has nothing left to do.
    void Close() {}

    /// Text of the first title element, white space collapsed to single spaces and stripped.
    const std::string& GetTitle() const { return m_strTitle; }
    /// False for a frameset page, which has no body.
    bool HasBody() const { return m_bHasBody; }
    /// Visible text of the body in document order; may be taken with std::move.
    std::string& GetBodyText() { return m_strBody; }

private:
    void AppendChar(char32_t c, std::string& strOut) const;
    size_t ReadReference(std::string_view sv, size_t nPos, std::string& strOut) const;
    void AppendTextWithReferences(std::string_view sv, std::string& strOut) const;
    size_t ReadTag(std::string_view sv, size_t nPos);
    void NoteAttribute(std::string_view svName, std::string_view svValue);
    void AddReference(std::string_view svReference);
    void SetTitle(std::string_view svRaw);

    const CCodePage& m_cp;
    std::string m_strTitle;
    std::string m_strBody;
    bool m_bHasBody = true;
    bool m_bTitleSeen = false;
    bool m_bBodyTagSeen = false;
    bool m_bBodyText = false;   ///< the body text so far holds more than white space
    size_t m_nBlankChecked = 0; ///< body text up to here is known to be white space
    int m_nTemplateDepth = 0;
    std::string_view m_svRawEnd; ///< element whose end tag ends the raw text now read, else empty
    int m_nRawKind = 0;          ///< how that raw text is shown
    std::vector<std::string>* m_pReferences = nullptr;
    size_t m_nReferences = 0; ///< references of this page so far, at the front of *m_pReferences
    /// Strings cut from the list by a page with fewer references than the one before, kept with
    /// their buffers for the next page that has more.
    std::vector<std::string> m_vecSpareReferences;
};

/// Appends the address of every url() in a style sheet's text (quotes and white space removed).
void CSS_AppendURLs(std::string_view svCSS, std::vector<std::string>& vecOut);
