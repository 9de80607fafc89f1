#include "CHTMLEntities.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

namespace
{
struct SEntity
{
    std::string_view svName;
    char32_t c1;
    char32_t c2;
};

constexpr SEntity g_aEntities[] = {
#include "CHTMLEntitiesTable.inc"
};

bool IsAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

constexpr const SEntity* FindInTable(std::string_view svName)
{
    auto it = std::lower_bound(std::begin(g_aEntities), std::end(g_aEntities), svName,
                               [](const SEntity& e, std::string_view sv) { return e.svName < sv; });
    if (it != std::end(g_aEntities) && it->svName == svName)
        return &*it;
    return nullptr;
}

// The references that pages use most, tried before the search of the whole table.
constexpr const SEntity* g_apCommon[] = {
    FindInTable("nbsp;"), FindInTable("amp;"), FindInTable("lt;"), FindInTable("gt;"), FindInTable("quot;"),
};

static_assert(std::none_of(std::begin(g_apCommon), std::end(g_apCommon),
                           [](const SEntity* p) { return p == nullptr; }));

const SEntity* Find(std::string_view svName)
{
    for (const SEntity* p : g_apCommon)
    {
        if (p->svName == svName)
            return p;
    }
    return FindInTable(svName);
}

} // namespace

size_t HTMLLookupNamedEntity(std::string_view sv, char32_t& c1, char32_t& c2)
{
    size_t nRun = 0;
    // The longest name is 32 characters; a longer run cannot match whole.
    while (nRun < sv.size() && nRun < 40 && IsAlnum(sv[nRun]))
        ++nRun;
    if (nRun == 0)
        return 0;
    if (nRun < sv.size() && sv[nRun] == ';')
    {
        if (const SEntity* p = Find(sv.substr(0, nRun + 1)))
        {
            c1 = p->c1;
            c2 = p->c2;
            return nRun + 1;
        }
    }
    // Legacy names without ";" match as a prefix, the longest first.
    for (size_t n = std::min<size_t>(nRun, 6); n > 0; --n)
    {
        if (const SEntity* p = Find(sv.substr(0, n)))
        {
            c1 = p->c1;
            c2 = p->c2;
            return n;
        }
    }
    return 0;
}
