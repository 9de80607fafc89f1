#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// A site's code page, served by iconv. Texts in this code page are byte strings.
/// Const methods may be called from several threads at once.
class CCodePage
{
public:
    /// The code page of charset row nRow (windows-1252 for a row that iconv cannot serve).
    explicit CCodePage(int nRow);
    /// The code page iconv serves as pszIconvName (windows-1252 when it serves none), in no row:
    /// GetRow() is -1.
    explicit CCodePage(const char* pszIconvName);
    ~CCodePage();
    CCodePage(const CCodePage&) = delete;
    CCodePage& operator=(const CCodePage&) = delete;

    int GetRow() const { return m_nRow; }
    const std::string& GetName() const { return m_strName; }
    bool IsUTF8() const { return m_bUTF8; }
    /// A double-byte code page: a lead byte and the byte after it form one character.
    bool IsDoubleByte() const { return m_bDoubleByte; }
    bool IsLeadByte(unsigned char c) const { return m_aLead[c]; }
    /// Bytes 0x00-0x7F mean ASCII, whatever comes before them (not so for ISO 646 variants
    /// and the shifting ISO-2022 code pages).
    bool IsAsciiCompatible() const { return m_bAsciiCompatible; }
    /// Length of the character that starts at p (p < pEnd): 2 for a lead byte followed by a
    /// possible trail byte (0x40 and up) in a double-byte code page; in EUC-JP 2 or 3 as its
    /// lead byte says, when every byte after it is 0xA1 or up; the sequence length of a valid
    /// UTF-8 character; else 1. Bytes that do not form a character give 1.
    size_t CharLength(const unsigned char* p, const unsigned char* pEnd) const;

    /// Wide text to this code page; a character it lacks becomes the default character "?".
    std::string FromWide(std::u32string_view sv) const;
    /// This code page to wide text; a byte that does not decode becomes U+FFFD.
    std::u32string ToWide(std::string_view sv) const;
    /// UTF-8 text to this code page; a character it lacks becomes an HTML character reference.
    std::string FromUTF8ForHTML(std::string_view sv) const;
    /// Appends the bytes of one character; false (and nothing appended) when the code page lacks it.
    bool EncodeChar(char32_t c, std::string& strOut) const;
    /// Lower-cases in place: a double-byte character as one, a UTF-8 character whole, every other
    /// byte as a single-byte character. Bytes that are not UTF-8 in a UTF-8 text stay as they are.
    void MakeLower(std::string& str) const;

    /// One character of a text in this code page, as a walk from the start of the text finds it.
    struct SChar
    {
        size_t nLen = 1;     ///< its bytes
        bool bASCII = false; ///< a byte below 0x80 that stands for the ASCII character
    };
    /// The character at sv[i] (i < sv.size()). bShifted carries the shift state of a stateful
    /// code page from one character to the next: false at the start of a text. There an escape
    /// sequence is one character, and bytes 0x21-0x7E inside a shifted run are no ASCII.
    SChar WalkChar(std::string_view sv, size_t i, bool& bShifted) const;

private:
    struct CIconv;
    void Open(const char* pszIconvName);
    struct CLowerDoubleTable;
    char32_t LowerWide(char32_t c) const;
    /// nChar's lower case from the table of all of them.
    uint16_t LowerDoubleByte(uint16_t nChar) const;
    /// nChar's lower case worked out through iconv.
    uint16_t DoubleByteToLower(uint16_t nChar) const;
    void IconvFromWide(std::u32string_view sv, std::string& strOut) const;

    int m_nRow = 0;
    std::string m_strName;
    bool m_bUTF8 = false;
    bool m_bDoubleByte = false;
    bool m_bEucJp = false;
    bool m_bAsciiCompatible = true;
    bool m_bStateful = false;   ///< ISO-2022: escape sequences and shifts switch between character sets
    bool m_bShiftCodes = false; ///< SO and SI shift, as in ISO-2022-KR; in ISO-2022-JP they are bad bytes
    bool m_bSingleByte = false; ///< stateless, one byte per character: m_aToWide decodes it
    std::array<bool, 256> m_aLead{};
    std::array<unsigned char, 256> m_aLowerByte{};
    std::array<char32_t, 256> m_aToWide{};
    std::unique_ptr<CIconv> m_pToWide;
    std::unique_ptr<CIconv> m_pFromWide;
    std::unique_ptr<CLowerDoubleTable> m_pLowerDouble;
};

/// The charset label a page declares, found as a browser's prescan finds it in the first 1024 bytes:
/// a meta element's charset, or the charset in the content of one whose http-equiv is Content-Type;
/// else the encoding of an XML declaration that starts the page. Only labels browsers know count;
/// empty when the page declares none.
std::string CodePage_DeclaredLabel(std::string_view svPage);

/// A page without a byte-order mark as text in cpSite: a page that declares a charset other than
/// cpSite's is decoded in it and encoded into cpSite, where a character cpSite lacks becomes "?".
/// Any other page, or one whose charset iconv cannot serve, is given back as it is.
std::string CodePage_PageToSite(std::string strPage, const CCodePage& cpSite);
