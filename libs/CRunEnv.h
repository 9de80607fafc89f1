#pragma once

#include <atomic>

/// Process-wide run state shared by the host and the module.
class CRunEnv
{
public:
    static CRunEnv& Instance();
    /// Raised when an unpacked file's path is longer than 260 characters (such a site breaks
    /// on Windows servers and disks).
    void SetFoundLongFilename(int bFound) { m_bFoundLongFilename = bFound != 0; }
    int GetFoundLongFilename() const { return m_bFoundLongFilename ? 1 : 0; }

private:
    std::atomic<bool> m_bFoundLongFilename{false};
};
