#pragma once

#include <cstddef>
#include <string_view>

class CXML;

/// The sitemap tree as a full HTML5 parser builds it, with the same nesting and depth bounds as
/// CHM_ParseSitemapToXML: the reference the project's own reader is compared with.
bool Gumbo_ParseSitemapToXML(std::string_view svBytes, CXML* pRoot, size_t nMaxDepth);
