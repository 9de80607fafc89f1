#include "CWebHelpHelper.h"

#include "HHKSink.h"

#include "CText.h"
#include "CXML.h"

#include <algorithm>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
const char kSeeAlso[] = "@@@";

/// Writes the lines of indexdata.js as they come, in pieces, so that the script of a large index
/// is never held whole.
class CIndexScriptWriter
{
public:
    using FnAddress = std::function<std::string(const std::string&)>;

    /// fnAddress makes the string of a topic's address from its Local.
    CIndexScriptWriter(COutputFile& file, const CCodePage& cp, FnAddress fnAddress)
        : m_file(file), m_cp(cp), m_fnAddress(std::move(fnAddress))
    {
        m_strOut = "var IndexItems = [\r\n";
    }

    void Topic(const std::string& strName, int nLevel, const std::string& strLocal)
    {
        const std::string* pAddress = &m_strSeeAlso;
        // A cross-reference names another keyword, which the list shows with apostrophes.
        if (strLocal.compare(0, sizeof(kSeeAlso) - 1, kSeeAlso) == 0)
            m_strSeeAlso = ScriptTitleLiteral(strLocal, m_cp);
        else if (strLocal.empty())
            m_strSeeAlso.clear();
        else
        {
            // A page is named by several keywords: its address is made once.
            auto [it, bNew] = m_mapAddresses.try_emplace(strLocal);
            if (bNew)
                it->second = m_fnAddress(it->first);
            pAddress = &it->second;
        }
        if (m_bTopics)
            m_strOut += ",\r\n";
        m_bTopics = true;
        m_strOut += "[\"";
        m_strOut.append(static_cast<size_t>(std::max(nLevel, 0)), ' ');
        m_strOut += ScriptTitleLiteral(strName, m_cp);
        m_strOut += "\", \"";
        m_strOut += *pAddress;
        m_strOut += "\"]";
        if (m_strOut.size() >= kPiece)
        {
            m_file.Write(m_strOut);
            m_strOut.clear();
        }
    }

    /// Ends the script; false when a write failed.
    bool Finish()
    {
        m_strOut += "];\r\n\r\n";
        m_file.Write(m_strOut);
        return m_file.Commit();
    }

private:
    static constexpr size_t kPiece = 1 << 16;
    COutputFile& m_file;
    const CCodePage& m_cp;
    FnAddress m_fnAddress;
    std::string m_strOut;
    bool m_bTopics = false;
    std::string m_strSeeAlso;
    std::unordered_map<std::string, std::string> m_mapAddresses;
};

/// Hands the topics of each item to the writer once the item has ended and its addresses are known.
class CHHKScriptSink : public CHHKSink
{
public:
    explicit CHHKScriptSink(CIndexScriptWriter& writer) : m_writer(writer) {}

    void HHK_Keyword(const std::string& strName, int nLevel) override
    {
        m_nTopics = 0;
        Add(strName, nLevel);
    }
    void HHK_Title(const std::string& strName, int nLevel) override { Add(strName, nLevel); }
    void HHK_Local(const std::string& strLocal) override { m_vecTopics[m_nTopics - 1].strLocal = strLocal; }
    void HHK_EndItem(bool, const std::string& strSeeAlso) override
    {
        if (m_nTopics == 0)
            return;
        // The index runtime follows "@@@" + keyword to that keyword in the list.
        if (!strSeeAlso.empty() && m_vecTopics[0].strLocal.empty())
            m_vecTopics[0].strLocal = kSeeAlso + strSeeAlso;
        for (size_t i = 0; i < m_nTopics; ++i)
            m_writer.Topic(m_vecTopics[i].strName, m_vecTopics[i].nLevel, m_vecTopics[i].strLocal);
        m_nTopics = 0;
    }

private:
    struct STopic
    {
        std::string strName;
        int nLevel = 0;
        std::string strLocal;
    };

    void Add(const std::string& strName, int nLevel)
    {
        if (m_nTopics == m_vecTopics.size())
            m_vecTopics.emplace_back();
        STopic& topic = m_vecTopics[m_nTopics++];
        topic.strName = strName;
        topic.nLevel = nLevel;
        topic.strLocal.clear();
    }

    CIndexScriptWriter& m_writer;
    /// The topics of the item now split, kept with their buffers from item to item.
    std::vector<STopic> m_vecTopics;
    size_t m_nTopics = 0;
};
} // namespace

void CWebHelpHelper::AddSpace_Space(int nCount, std::string& str)
{
    if (nCount > 0)
        str.insert(0, static_cast<size_t>(nCount), ' ');
}

void CWebHelpHelper::CHM2Web_CreateIndexScriptFile(CXML* pRoot, std::string strPath)
{
    CXML* pSiteMap = pRoot != nullptr ? pRoot->GetChildByTagName("SiteMap") : nullptr;
    HHK_WriteScript(strPath, pSiteMap, nullptr);
}

void CWebHelpHelper::CHM2Web_CreateIndexScriptFromElements(const CSitemapElements& elements,
                                                           std::string strPath)
{
    HHK_WriteScript(strPath, nullptr, &elements);
}

void CWebHelpHelper::HHK_WriteScript(const std::string& strPath, CXML* pSiteMap,
                                     const CSitemapElements* pElements)
{
    COutputFile file;
    if (!m_OutputFolder.OpenFile(strPath, file))
    {
        NoteWriteFailure(strPath);
        return;
    }
    const CCodePage& cp = GetSiteCodePage();
    CIndexScriptWriter writer(
        file, cp,
        [&](const std::string& strLocal)
        { return ScriptAddressLiteral(m_strSourceDir + "/" + CHM2Web_ArchiveSpelling(strLocal), cp); });
    for (int i = 0; pSiteMap != nullptr && i < pSiteMap->GetChildCount(); ++i)
    {
        CXML* pTopic = pSiteMap->GetChildAt(i);
        writer.Topic(pTopic->GetAttr("Name"), pTopic->GetAttrInt("XPosition"), pTopic->GetAttr("Local"));
    }
    if (pElements != nullptr)
    {
        CHHKScriptSink sink(writer);
        HHK_SplitElementsTo(*pElements, sink);
    }
    if (!writer.Finish())
        NoteWriteFailure(strPath);
}
