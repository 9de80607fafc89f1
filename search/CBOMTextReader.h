#pragma once

#include <cstdint>
#include <string>

class CCodePage;

/// Turns a page's bytes into text in a code page as a browser decodes them: by a byte-order mark,
/// else by the charset the page declares, else as text in the code page. Holds no copy of the bytes
/// it decodes. Without a byte-order mark the bytes up to the first zero byte are taken as they are,
/// unless they declare another charset; a decoded text is converted, a character the code page lacks
/// becoming "?".
class CBOMTextReader
{
public:
    enum EEncoding
    {
        kNone = 0,
        kUTF16BE = 1,
        kUTF16LE = 2,
        kUTF8 = 3,
    };

    /// cp must outlive the reader.
    explicit CBOMTextReader(const CCodePage& cp) : m_cp(cp) {}
    virtual ~CBOMTextReader() = default;
    CBOMTextReader(const CBOMTextReader&) = delete;
    CBOMTextReader& operator=(const CBOMTextReader&) = delete;

    /// Text of the file at strPath; empty when it cannot be opened or read.
    std::string LoadFile(const std::string& strPath);
    /// Text of nSize bytes at pData (nSize < 0 counts as 0); the bytes are only borrowed for the call.
    std::string LoadBuffer(const unsigned char* pData, int64_t nSize);
    /// Text of strBytes, as LoadBuffer; without a byte-order mark the bytes are kept, not copied.
    std::string LoadBytes(std::string strBytes);

    /// Reads a byte-order mark at the start; without one, rewinds to the first byte. Returns the encoding.
    int DetectEncoding();
    /// Next character in the detected encoding; U+FFFD for a byte that starts no character.
    char32_t ReadChar();
    /// Next byte, or 0 (raising the end flag) when none is left.
    unsigned char ReadByte();
    /// True once a read was attempted past the last byte.
    bool IsEOF() const { return m_bEOF; }
    int GetEncoding() const { return m_nEncoding; }

private:
    const CCodePage& m_cp;
    const unsigned char* m_pData = nullptr; ///< borrowed for the duration of LoadBuffer
    int64_t m_nSize = 0;
    int64_t m_nPos = -1; ///< next byte; -1 before the first read
    bool m_bEOF = false;
    int m_nEncoding = kNone;
};
