#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

/// A site's code page, served by iconv. Texts in this code page are byte strings.
class CCodePage
{
public:
    /// The code page of charset row nRow (windows-1252 for a row that iconv cannot serve).
    explicit CCodePage(int nRow);
    ~CCodePage();
    CCodePage(const CCodePage&) = delete;
    CCodePage& operator=(const CCodePage&) = delete;

    /// iconv name of charset row nRow, or of the fallback.
    static std::string IconvNameOfRow(int nRow);

    int GetRow() const { return m_nRow; }
    const std::string& GetName() const { return m_strName; }
    bool IsUTF8() const { return m_bUTF8; }
    /// A double-byte code page: a lead byte and the byte after it form one character.
    bool IsDoubleByte() const { return m_bDoubleByte; }
    bool IsLeadByte(unsigned char c) const { return m_aLead[c]; }

    /// Wide text to this code page; a character it lacks becomes the default character "?".
    std::string FromWide(std::u32string_view sv) const;
    /// This code page to wide text; a byte that does not decode becomes U+FFFD.
    std::u32string ToWide(std::string_view sv) const;
    /// UTF-8 text to this code page; a character it lacks becomes an HTML character reference.
    std::string FromUTF8ForHTML(std::string_view sv) const;
    /// Appends the bytes of one character; false (and nothing appended) when the code page lacks it.
    bool EncodeChar(char32_t c, std::string& strOut) const;
    /// Lower-cases in place: a double-byte character as one, a UTF-8 character whole, every other
    /// byte as a single-byte character.
    void MakeLower(std::string& str) const;

private:
    struct CIconv;
    char32_t LowerWide(char32_t c) const;
    uint16_t LowerDoubleByte(uint16_t nChar) const;

    int m_nRow = 0;
    std::string m_strName;
    bool m_bUTF8 = false;
    bool m_bDoubleByte = false;
    std::array<bool, 256> m_aLead{};
    std::array<unsigned char, 256> m_aLowerByte{};
    std::unique_ptr<CIconv> m_pToWide;
    std::unique_ptr<CIconv> m_pFromWide;
    void* m_pLocale = nullptr; ///< locale_t of C.UTF-8 for case mapping.
    mutable std::unordered_map<uint16_t, uint16_t> m_mapLowerDouble;
};
