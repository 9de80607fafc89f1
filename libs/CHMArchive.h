#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// One directory entry of a compiled archive, named as stored ("/a/b.htm", "/#SYSTEM", "::…").
struct SCHMEntry
{
    std::string strName;
    int nSection = 0; ///< 0 stored, 1 LZX-compressed
    uint64_t nOffset = 0;
    uint64_t nLength = 0;
};

/// Receives an entry's bytes as they are decompressed.
class CCHMSink
{
public:
    virtual ~CCHMSink() = default;
    /// False stops the extraction, which then fails.
    virtual bool Write(const unsigned char* pData, size_t nSize) = 0;
};

/// Appends what it is given to a string.
class CStringSink : public CCHMSink
{
public:
    explicit CStringSink(std::string& str) : m_str(str) {}
    bool Write(const unsigned char* pData, size_t nSize) override
    {
        m_str.append(reinterpret_cast<const char*>(pData), nSize);
        return true;
    }

private:
    std::string& m_str;
};

/// The archive layer over libmspack: the directory and the extraction of entries, nothing else.
/// Damaged input makes Open or Extract fail; nothing read from the file is trusted.
class CCHMArchive
{
public:
    CCHMArchive();
    ~CCHMArchive();
    CCHMArchive(const CCHMArchive&) = delete;
    CCHMArchive& operator=(const CCHMArchive&) = delete;

    /// Closes any open file first. False when strPath is not a readable compiled file or is
    /// shorter than its header says (cut short).
    bool Open(const std::string& strPath);
    void Close();
    bool IsOpen() const;

    /// Every entry: the user entries in directory order, then the "::" entries. Empty when closed.
    const std::vector<SCHMEntry>& Entries() const;

    /// Streams entry nIndex into sink. False (with part of the bytes possibly written) when the
    /// entry lies outside the file or its section, or the data cannot be decompressed.
    /// Reading entries in ascending offset order decompresses each byte once.
    bool Extract(size_t nIndex, CCHMSink& sink);

private:
    struct CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};
