#pragma once

/// Warns, modally and without an owner, that the site holds file paths too long for Windows
/// servers and disks.
class CDlgWarnLongFilename
{
public:
    void DoModal();
};
