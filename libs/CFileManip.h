#pragma once

#include <string>

/// File copy of the base library.
class CFileManip
{
public:
    /// Shell file-operation flags the callers pass; here nobody is ever asked, whatever the flags.
    enum : unsigned
    {
        FOF_NOCONFIRMATION = 0x10,
        FOF_NOCONFIRMMKDIR = 0x200,
    };

    /// Copies strFrom to strTo byte for byte, replacing an existing strTo and creating its missing
    /// folders. False when strFrom is not a readable file or strTo cannot be written (errno tells why); a failed copy
    /// leaves an existing strTo as it was.
    static bool Copy(const std::string& strFrom, const std::string& strTo, unsigned nFlags);
};
