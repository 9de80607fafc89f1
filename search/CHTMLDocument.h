#pragma once

/// A page loaded for its title and body text; scripts never run.
class CHTMLDocument
{
public:
    virtual ~CHTMLDocument() = default;
};
