#include "CBOMTextReader.h"

#include "CCodePage.h"
#include "CText.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace
{
struct CFileCloser
{
    void operator()(std::FILE* p) const { std::fclose(p); }
};

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}
} // namespace

std::string CBOMTextReader::LoadFile(const std::string& strPath)
{
    std::unique_ptr<std::FILE, CFileCloser> pFile(std::fopen(strPath.c_str(), "rb"));
    if (!pFile)
        return std::string();
    // Read straight into the text, sized by the file's length, growing only if the file grew.
    std::string strBytes;
    struct stat st
    {
    };
    size_t nCapacity =
        fstat(fileno(pFile.get()), &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096;
    size_t nSize = 0;
    for (;;)
    {
        strBytes.resize(nCapacity);
        size_t nRead = std::fread(strBytes.data() + nSize, 1, nCapacity - nSize, pFile.get());
        nSize += nRead;
        if (nSize < nCapacity)
            break;
        nCapacity *= 2;
    }
    strBytes.resize(nSize);
    if (std::ferror(pFile.get()))
        return std::string();
    return LoadBytes(std::move(strBytes));
}

std::string CBOMTextReader::LoadBytes(std::string strBytes)
{
    const auto* pData = reinterpret_cast<const unsigned char*>(strBytes.data());
    m_pData = pData;
    m_nSize = static_cast<int64_t>(strBytes.size());
    m_nPos = -1;
    m_bEOF = false;
    if (DetectEncoding() == kNone)
    {
        // The common case: the bytes are the text, so keep them rather than copy them.
        m_pData = nullptr;
        size_t nZero = strBytes.find('\0');
        if (nZero != std::string::npos)
            strBytes.resize(nZero);
        return CodePage_PageToSite(std::move(strBytes), m_cp);
    }
    return LoadBuffer(pData, m_nSize);
}

std::string CBOMTextReader::LoadBuffer(const unsigned char* pData, int64_t nSize)
{
    m_pData = pData;
    m_nSize = pData == nullptr || nSize < 0 ? 0 : nSize;
    m_nPos = -1;
    m_bEOF = false;
    std::string strText;
    if (DetectEncoding() == kNone)
    {
        const void* pZero = m_nSize > 0 ? std::memchr(pData, 0, static_cast<size_t>(m_nSize)) : nullptr;
        size_t nLen = pZero != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(pZero) - pData)
                                       : static_cast<size_t>(m_nSize);
        if (nLen > 0)
            strText.assign(reinterpret_cast<const char*>(pData), nLen);
        m_pData = nullptr;
        return CodePage_PageToSite(std::move(strText), m_cp);
    }
    std::u32string strWide;
    strWide.reserve(static_cast<size_t>(m_nSize));
    for (;;)
    {
        char32_t c = ReadChar();
        if (m_bEOF)
            break;
        // A UTF-16 pair of surrogates is one character.
        if (c >= 0xDC00 && c <= 0xDFFF && !strWide.empty() && strWide.back() >= 0xD800 &&
            strWide.back() <= 0xDBFF)
        {
            strWide.back() = 0x10000 + ((strWide.back() - 0xD800) << 10) + (c - 0xDC00);
            continue;
        }
        strWide += c;
    }
    m_pData = nullptr;
    return m_cp.FromWide(strWide);
}

int CBOMTextReader::DetectEncoding()
{
    unsigned char b1 = ReadByte();
    unsigned char b2 = ReadByte();
    if (!m_bEOF && b1 == 0xFF && b2 == 0xFE)
        m_nEncoding = kUTF16LE;
    else if (!m_bEOF && b1 == 0xFE && b2 == 0xFF)
        m_nEncoding = kUTF16BE;
    else if (!m_bEOF && b1 == 0xEF && b2 == 0xBB && ReadByte() == 0xBF && !m_bEOF)
        m_nEncoding = kUTF8;
    else
    {
        m_nEncoding = kNone;
        m_nPos = -1;
        m_bEOF = false;
    }
    return m_nEncoding;
}

unsigned char CBOMTextReader::ReadByte()
{
    if (m_nPos < 0)
        m_nPos = 0;
    if (m_nPos >= m_nSize)
    {
        m_bEOF = true;
        return 0;
    }
    return m_pData[m_nPos++];
}

char32_t CBOMTextReader::ReadChar()
{
    if (m_nEncoding == kUTF16BE || m_nEncoding == kUTF16LE)
    {
        unsigned char b1 = ReadByte();
        unsigned char b2 = ReadByte();
        return m_nEncoding == kUTF16BE ? static_cast<char32_t>((b1 << 8) | b2)
                                       : static_cast<char32_t>((b2 << 8) | b1);
    }
    unsigned char b = ReadByte();
    if (m_nEncoding != kUTF8 || b < 0x80)
        return b;
    char32_t c = 0;
    const size_t nLen = DecodeUTF8(m_pData + m_nPos - 1, m_pData + m_nSize, c);
    if (nLen > 0)
    {
        m_nPos += static_cast<int64_t>(nLen) - 1;
        return c;
    }
    // Not a character. A two- or three-byte sequence cut off by a byte that does not continue it is
    // one U+FFFD, and that byte is left for the next read: it may be the "<" of the tag after it.
    // Any other byte (an overlong form, a surrogate, a cut-off four-byte sequence) is a U+FFFD of
    // its own, as a browser reads it.
    const int64_t nNeed = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 0;
    int64_t nFollow = 0;
    while (nFollow < nNeed && m_nPos + nFollow < m_nSize && IsContinuation(m_pData[m_nPos + nFollow]))
        ++nFollow;
    if (nFollow == nNeed)
        return 0xFFFD;
    m_nPos += nFollow;
    // A sequence cut off by the end of the text is dropped.
    if (m_nPos >= m_nSize)
        ReadByte();
    return 0xFFFD;
}
