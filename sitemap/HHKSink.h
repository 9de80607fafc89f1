#pragma once

#include <string>

/// What the split of an index makes of each item, call by call in document order: its keyword,
/// each title below it, the address of the entry last named, and its end. The split's CXML tree
/// and the index script are both made from these calls, so a large index is written as it is split.
class CHHKSink
{
public:
    virtual ~CHHKSink() = default;
    virtual void HHK_Keyword(const std::string& strName, int nLevel) = 0;
    virtual void HHK_Title(const std::string& strName, int nLevel) = 0;
    /// The address of the keyword or title named last; a later one replaces it.
    virtual void HHK_Local(const std::string& strLocal) = 0;
    /// bTitles: the keyword has titles. strSeeAlso: the keyword it refers to, else empty.
    virtual void HHK_EndItem(bool bTitles, const std::string& strSeeAlso) = 0;
};
