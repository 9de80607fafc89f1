#pragma once

#include <cstddef>
#include <string_view>

/// Finds the named character reference at the start of sv (the text right after "&"), by HTML's
/// rules: a name ending in ";" matches whole; a legacy name without ";" matches as the longest
/// prefix. Returns the number of bytes matched (0 when none) and its one or two characters
/// (c2 is 0 for one).
size_t HTMLLookupNamedEntity(std::string_view sv, char32_t& c1, char32_t& c2);
