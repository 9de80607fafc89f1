#pragma once

#include <initializer_list>

class CXML;

/// Copies each param of pObject whose name is one of the names (any case) into pProperties as a
/// "param" element, with the name spelled as given and the value as it is; other params are dropped.
void Sitemap_CopyProperties(CXML* pObject, CXML* pProperties, std::initializer_list<const char*> names);
