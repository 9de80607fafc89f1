#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CXML;

/// Deepest element level built below the root; deeper elements are attached at this level.
constexpr size_t kSitemapMaxDepth = 1000;

/// Parses sitemap HTML into pRoot's subtree as an HTML5 parser builds it, in one pass with the
/// project's HTML tokenizer (see CSitemapTreeBuilder for what is read as plain elements): the document element
/// "HTML" (with "HEAD" and "BODY") as pRoot's child, upper-case tag names, lower-case attribute
/// names, attribute values as written in the source (without quotes, character references kept,
/// bytes unchanged whatever their code page). Text and comments are left out. Any bytes give a
/// tree; false only when pRoot is null.
bool CHM_ParseSitemapToXML(std::string_view svBytes, CXML* pRoot, size_t nMaxDepth = kSitemapMaxDepth);

/// The list nesting the tree is built with at most. Deeper list tags are dropped (their items join
/// the deepest list), because tree construction costs time in proportion to the depth for every
/// tag.
constexpr size_t kSitemapMaxListNesting = 200;

/// Blanks out (with spaces, so no other byte moves) list tags nested deeper than nMaxLists and
/// start tags of other never-implied containers nested deeper than nMaxOther. Returns the
/// number of tags blanked.
size_t CHM_FlattenDeepNesting(std::string& strHtml, size_t nMaxLists = kSitemapMaxListNesting,
                              size_t nMaxOther = 2 * kSitemapMaxListNesting);
