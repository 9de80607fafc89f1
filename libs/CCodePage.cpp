#include "CCodePage.h"

#include "CCharsets.h"
#include "CText.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cwctype>
#include <iconv.h>
#include <locale.h>
#include <mutex>

namespace
{
/// iconv_open and iconv_close load and unload converter modules under the dynamic loader's own lock,
/// which ThreadSanitizer cannot see: conversions side by side open and close handles one at a time,
/// so that the order is plain to it as well. Both are rare beside the conversions themselves.
std::mutex& IconvOpenCloseMutex()
{
    static std::mutex s_mutex;
    return s_mutex;
}

iconv_t OpenIconv(const char* pszTo, const char* pszFrom)
{
    const std::lock_guard<std::mutex> lock(IconvOpenCloseMutex());
    return iconv_open(pszTo, pszFrom);
}

/// newlocale and freelocale, like iconv_open, work under a glibc lock ThreadSanitizer cannot see: one
/// C.UTF-8 locale serves every code page for the life of the process.
locale_t CaseLocale()
{
    static const locale_t s_locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return s_locale;
}
} // namespace

/// An iconv handle keeps a conversion state: one thread at a time converts with it, holding mutex.
struct CCodePage::CIconv
{
    iconv_t h = reinterpret_cast<iconv_t>(-1);
    std::mutex mutex;
    CIconv(const char* pszTo, const char* pszFrom) : h(OpenIconv(pszTo, pszFrom)) {}
    ~CIconv()
    {
        if (!Ok())
            return;
        const std::lock_guard<std::mutex> lock(IconvOpenCloseMutex());
        iconv_close(h);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Ok() const { return h != reinterpret_cast<iconv_t>(-1); }
    void Reset() const { iconv(h, nullptr, nullptr, nullptr, nullptr); }
};

struct CCodePage::CLowerDoubleTable
{
    std::once_flag once;
    /// Lower case of every lead byte and byte after it, as one number; itself when it has none.
    std::vector<uint16_t> vecLower;
};

namespace
{
bool IsDoubleByteName(const std::string& strName)
{
    return strName == "CP932" || strName == "CP936" || strName == "CP949" || strName == "CP950" ||
           strName == "EUC-JP";
}

bool IsStatefulName(const std::string& strName)
{
    return strName.rfind("ISO-2022-", 0) == 0;
}

// National variants of ISO 646 give some ASCII bytes other letters.
bool IsISO646VariantName(const std::string& strName)
{
    return strName == "DIN_66003" || strName == "NS_4551-1" || strName == "SEN_850200_B";
}

constexpr char32_t kReplacement = 0xFFFD;
constexpr unsigned char kESC = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;

bool IsEucJpByte(unsigned char c)
{
    return c >= 0xA1 && c <= 0xFE;
}

// EUC-JP keeps every byte below 0xA1 out of its characters, so a backslash or a quote after a lead
// byte is itself: 0x8E and a half-width katakana, 0x8F and two bytes of JIS X 0212, or two bytes
// of JIS X 0208.
size_t EucJpCharLength(const unsigned char* p, const unsigned char* pEnd)
{
    const size_t nLeft = static_cast<size_t>(pEnd - p);
    if (*p == 0x8E)
        return nLeft >= 2 && p[1] >= 0xA1 && p[1] <= 0xDF ? 2 : 1;
    if (*p == 0x8F)
        return nLeft >= 3 && IsEucJpByte(p[1]) && IsEucJpByte(p[2]) ? 3 : 1;
    return nLeft >= 2 && IsEucJpByte(p[0]) && IsEucJpByte(p[1]) ? 2 : 1;
}

// CJK ideographs, kana and hangul have no case; skipping them keeps lower-casing of East Asian text cheap.
bool IsCaseless(char32_t c)
{
    return (c >= 0x3040 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF);
}
} // namespace

CCodePage::CCodePage(int nRow) : m_nRow(nRow), m_pLowerDouble(std::make_unique<CLowerDoubleTable>())
{
    Open(Charset_IconvName(nRow));
}

CCodePage::CCodePage(const char* pszIconvName)
    : m_nRow(-1), m_pLowerDouble(std::make_unique<CLowerDoubleTable>())
{
    Open(pszIconvName);
}

void CCodePage::Open(const char* pszIconvName)
{
    m_strName = pszIconvName;
    m_pToWide = std::make_unique<CIconv>("UTF-32LE", m_strName.c_str());
    m_pFromWide = std::make_unique<CIconv>(m_strName.c_str(), "UTF-32LE");
    if (!m_pToWide->Ok() || !m_pFromWide->Ok())
    {
        // A code page this iconv lacks falls back as a row without one does.
        m_strName = Charset_IconvName(kCharsetWin1252);
        m_pToWide = std::make_unique<CIconv>("UTF-32LE", m_strName.c_str());
        m_pFromWide = std::make_unique<CIconv>(m_strName.c_str(), "UTF-32LE");
    }
    m_bUTF8 = m_strName == "UTF-8";
    m_bDoubleByte = IsDoubleByteName(m_strName);
    m_bEucJp = m_strName == "EUC-JP";
    m_bStateful = IsStatefulName(m_strName);
    m_bShiftCodes = m_bStateful && m_strName.rfind("ISO-2022-JP", 0) != 0;
    m_bAsciiCompatible = !m_bStateful && !IsISO646VariantName(m_strName);
    m_bSingleByte = !m_bUTF8 && !m_bDoubleByte && !m_bStateful;

    for (int b = 0; b < 256; ++b)
        m_aLowerByte[b] = static_cast<unsigned char>(LowerASCII(static_cast<char>(b)));

    if (m_bDoubleByte)
    {
        // A lead byte is one that iconv reports as an incomplete character on its own.
        for (int b = 0x81; b < 256; ++b)
        {
            char cIn = static_cast<char>(b);
            char* pIn = &cIn;
            size_t nIn = 1;
            char aOut[8];
            char* pOut = aOut;
            size_t nOut = sizeof(aOut);
            m_pToWide->Reset();
            size_t nRes = iconv(m_pToWide->h, &pIn, &nIn, &pOut, &nOut);
            if (nRes == static_cast<size_t>(-1) && errno == EINVAL)
                m_aLead[b] = true;
        }
        m_pToWide->Reset();
    }
    else if (m_bSingleByte)
    {
        for (int b = 0; b < 256; ++b)
        {
            char cIn = static_cast<char>(b);
            char* pIn = &cIn;
            size_t nIn = 1;
            unsigned char aOut[8];
            char* pOut = reinterpret_cast<char*>(aOut);
            size_t nOut = sizeof(aOut);
            m_pToWide->Reset();
            size_t nRes = iconv(m_pToWide->h, &pIn, &nIn, &pOut, &nOut);
            // windows-1258 holds a letter back in case a combining mark follows: flush it out.
            if (nRes != static_cast<size_t>(-1))
                nRes = iconv(m_pToWide->h, nullptr, nullptr, &pOut, &nOut);
            m_aToWide[b] = nRes == static_cast<size_t>(-1) || nOut != sizeof(aOut) - 4
                               ? kReplacement
                               : static_cast<char32_t>(aOut[0] | (aOut[1] << 8) | (aOut[2] << 16) |
                                                       (static_cast<uint32_t>(aOut[3]) << 24));
        }
        m_pToWide->Reset();
        for (int b = 0x80; b < 256; ++b)
        {
            char32_t c = m_aToWide[b];
            char32_t cLower = LowerWide(c);
            if (c == kReplacement || cLower == c)
                continue;
            std::string strLower;
            if (EncodeChar(cLower, strLower) && strLower.size() == 1)
                m_aLowerByte[b] = static_cast<unsigned char>(strLower[0]);
        }
    }
}

CCodePage::~CCodePage() = default;

size_t CCodePage::CharLength(const unsigned char* p, const unsigned char* pEnd) const
{
    if (*p < 0x80)
        return 1;
    if (m_bUTF8)
    {
        char32_t c = 0;
        size_t nLen = DecodeUTF8(p, pEnd, c);
        return nLen == 0 ? 1 : nLen;
    }
    if (m_bEucJp)
        return EucJpCharLength(p, pEnd);
    if (m_bDoubleByte && m_aLead[*p] && pEnd - p >= 2 && p[1] >= 0x40)
        return 2;
    return 1;
}

CCodePage::SChar CCodePage::WalkChar(std::string_view sv, size_t i, bool& bShifted) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(sv.data()) + i;
    const auto* pEnd = reinterpret_cast<const unsigned char*>(sv.data()) + sv.size();
    SChar ch;
    if (!m_bStateful)
    {
        ch.nLen = CharLength(p, pEnd);
        ch.bASCII = *p < 0x80;
        return ch;
    }
    if (*p == kESC)
    {
        // ESC, intermediate bytes 0x20-0x2F, a final byte 0x30-0x7E.
        while (p + ch.nLen < pEnd && p[ch.nLen] >= 0x20 && p[ch.nLen] <= 0x2F)
            ++ch.nLen;
        if (p + ch.nLen < pEnd && p[ch.nLen] >= 0x30 && p[ch.nLen] <= 0x7E)
            ++ch.nLen;
        // "ESC $ X" and "ESC $ ( X" shift into a double-byte set, "ESC ( X" back to a single-byte
        // one; "ESC $ ) X" only names the set that SO shifts into.
        if (ch.nLen >= 3 && p[1] == '$')
            bShifted = bShifted || p[2] != ')';
        else if (ch.nLen >= 3 && p[1] == '(')
            bShifted = false;
        return ch;
    }
    // A browser's ISO-2022-JP takes SO and SI for bad bytes and stays in ASCII: a quote after them
    // is a quote to it.
    if (m_bShiftCodes && (*p == kShiftOut || *p == kShiftIn))
    {
        bShifted = *p == kShiftOut;
        return ch;
    }
    if (bShifted && *p >= 0x21 && *p <= 0x7E)
    {
        ch.nLen = p + 1 < pEnd && p[1] >= 0x21 && p[1] <= 0x7E ? 2 : 1;
        return ch;
    }
    ch.bASCII = *p < 0x80;
    return ch;
}

char32_t CCodePage::LowerWide(char32_t c) const
{
    if (c < 0x80)
        return static_cast<unsigned char>(LowerASCII(static_cast<char>(c)));
    const locale_t locale = CaseLocale();
    if (locale == static_cast<locale_t>(nullptr) || IsCaseless(c))
        return c;
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
}

std::u32string CCodePage::ToWide(std::string_view sv) const
{
    std::u32string strOut;
    strOut.reserve(sv.size());
    if (m_bSingleByte)
    {
        for (char ch : sv)
            strOut += m_aToWide[static_cast<unsigned char>(ch)];
        return strOut;
    }
    if (m_bUTF8)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(sv.data());
        const auto* pEnd = p + sv.size();
        while (p < pEnd)
        {
            char32_t c = 0;
            size_t nLen = DecodeUTF8(p, pEnd, c);
            if (nLen == 0)
            {
                strOut += kReplacement;
                ++p;
            }
            else
            {
                strOut += c;
                p += nLen;
            }
        }
        return strOut;
    }

    const std::lock_guard<std::mutex> lock(m_pToWide->mutex);
    m_pToWide->Reset();
    char* pIn = const_cast<char*>(sv.data());
    size_t nIn = sv.size();
    char aBuf[4096];
    while (nIn > 0)
    {
        char* pOut = aBuf;
        size_t nOut = sizeof(aBuf);
        size_t nRes = iconv(m_pToWide->h, &pIn, &nIn, &pOut, &nOut);
        int nErr = errno;
        for (char* q = aBuf; q + 4 <= pOut; q += 4)
        {
            const auto* u = reinterpret_cast<const unsigned char*>(q);
            strOut += static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) |
                                            (static_cast<uint32_t>(u[3]) << 24));
        }
        if (nRes == static_cast<size_t>(-1) && nErr != E2BIG)
        {
            // An undecodable or cut-off byte: replace it and go on after it. glibc's CP949 may
            // report one after it has taken every byte.
            strOut += kReplacement;
            if (nIn > 0)
            {
                ++pIn;
                --nIn;
            }
            m_pToWide->Reset();
        }
    }
    return strOut;
}

bool CCodePage::EncodeChar(char32_t c, std::string& strOut) const
{
    if (m_bUTF8)
        return AppendUTF8(strOut, c);
    if (c < 0x80 && m_bAsciiCompatible)
    {
        strOut += static_cast<char>(c);
        return true;
    }
    unsigned char aIn[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                            static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 24)};
    char* pIn = reinterpret_cast<char*>(aIn);
    size_t nIn = 4;
    char aOut[16];
    char* pOut = aOut;
    size_t nOut = sizeof(aOut);
    const std::lock_guard<std::mutex> lock(m_pFromWide->mutex);
    m_pFromWide->Reset();
    if (iconv(m_pFromWide->h, &pIn, &nIn, &pOut, &nOut) == static_cast<size_t>(-1))
        return false;
    // Stateful code pages (ISO-2022) need their shift back to the initial state.
    iconv(m_pFromWide->h, nullptr, nullptr, &pOut, &nOut);
    strOut.append(aOut, static_cast<size_t>(pOut - aOut));
    return true;
}

void CCodePage::IconvFromWide(std::u32string_view sv, std::string& strOut) const
{
    const std::lock_guard<std::mutex> lock(m_pFromWide->mutex);
    m_pFromWide->Reset();
    std::string strIn;
    strIn.reserve(sv.size() * 4);
    for (char32_t c : sv)
    {
        strIn += static_cast<char>(c & 0xFF);
        strIn += static_cast<char>((c >> 8) & 0xFF);
        strIn += static_cast<char>((c >> 16) & 0xFF);
        strIn += static_cast<char>((c >> 24) & 0xFF);
    }
    char* pIn = strIn.data();
    size_t nIn = strIn.size();
    char aBuf[4096];
    while (nIn > 0)
    {
        char* pOut = aBuf;
        size_t nOut = sizeof(aBuf);
        size_t nRes = iconv(m_pFromWide->h, &pIn, &nIn, &pOut, &nOut);
        int nErr = errno;
        strOut.append(aBuf, static_cast<size_t>(pOut - aBuf));
        if (nRes != static_cast<size_t>(-1) || nErr == E2BIG)
            continue;
        // A character the code page lacks: shift back to the initial state so that the default
        // character means itself, then go on after it.
        pOut = aBuf;
        nOut = sizeof(aBuf);
        iconv(m_pFromWide->h, nullptr, nullptr, &pOut, &nOut);
        strOut.append(aBuf, static_cast<size_t>(pOut - aBuf));
        strOut += '?';
        size_t nSkip = nIn < 4 ? nIn : 4;
        pIn += nSkip;
        nIn -= nSkip;
    }
    // The text ends in the initial state.
    char* pOut = aBuf;
    size_t nOut = sizeof(aBuf);
    iconv(m_pFromWide->h, nullptr, nullptr, &pOut, &nOut);
    strOut.append(aBuf, static_cast<size_t>(pOut - aBuf));
}

std::string CCodePage::FromWide(std::u32string_view sv) const
{
    std::string strOut;
    strOut.reserve(sv.size());
    if (m_bUTF8)
    {
        for (char32_t c : sv)
        {
            if (!AppendUTF8(strOut, c))
                strOut += '?';
        }
        return strOut;
    }
    if (!m_bAsciiCompatible)
    {
        IconvFromWide(sv, strOut);
        return strOut;
    }
    // ASCII goes straight through; each run of other characters goes to iconv in one call.
    size_t i = 0;
    while (i < sv.size())
    {
        if (sv[i] < 0x80)
        {
            strOut += static_cast<char>(sv[i++]);
            continue;
        }
        size_t nStart = i;
        while (i < sv.size() && sv[i] >= 0x80)
            ++i;
        IconvFromWide(sv.substr(nStart, i - nStart), strOut);
    }
    return strOut;
}

std::string CCodePage::FromUTF8ForHTML(std::string_view sv) const
{
    std::string strOut;
    strOut.reserve(sv.size());
    const auto* p = reinterpret_cast<const unsigned char*>(sv.data());
    const auto* pEnd = p + sv.size();
    while (p < pEnd)
    {
        if (*p < 0x80)
        {
            strOut += static_cast<char>(*p++);
            continue;
        }
        char32_t c = 0;
        size_t nLen = DecodeUTF8(p, pEnd, c);
        if (nLen == 0)
        {
            // Not UTF-8 after all: keep the byte rather than lose it.
            strOut += static_cast<char>(*p++);
            continue;
        }
        if (!EncodeChar(c, strOut))
            strOut += "&#" + std::to_string(static_cast<uint32_t>(c)) + ";";
        p += nLen;
    }
    return strOut;
}

uint16_t CCodePage::LowerDoubleByte(uint16_t nChar) const
{
    // Made whole on first use: a few milliseconds, dozens of times what the rest of a code page costs,
    // and most code pages never lower a double-byte character.
    std::call_once(m_pLowerDouble->once,
                   [this]
                   {
                       std::vector<uint16_t>& vecLower = m_pLowerDouble->vecLower;
                       vecLower.resize(65536);
                       for (size_t n = 0; n < vecLower.size(); ++n)
                           vecLower[n] = m_aLead[n >> 8] ? DoubleByteToLower(static_cast<uint16_t>(n))
                                                         : static_cast<uint16_t>(n);
                   });
    return m_pLowerDouble->vecLower[nChar];
}

uint16_t CCodePage::DoubleByteToLower(uint16_t nChar) const
{
    uint16_t nLower = nChar;
    std::string strBytes{static_cast<char>(nChar >> 8), static_cast<char>(nChar & 0xFF)};
    std::u32string strWide = ToWide(strBytes);
    if (strWide.size() == 1 && strWide[0] != kReplacement)
    {
        char32_t cLower = LowerWide(strWide[0]);
        std::string strLower;
        if (cLower != strWide[0] && EncodeChar(cLower, strLower) && strLower.size() == 2)
            nLower = static_cast<uint16_t>((static_cast<unsigned char>(strLower[0]) << 8) |
                                           static_cast<unsigned char>(strLower[1]));
    }
    return nLower;
}

void CCodePage::MakeLower(std::string& str) const
{
    size_t n = str.size();
    if (m_bUTF8)
    {
        auto* p = reinterpret_cast<unsigned char*>(str.data());
        auto* pEnd = p + n;
        // Most text keeps its length when lowered: change it in place until a character does not.
        while (p < pEnd)
        {
            if (pEnd - p >= 8 && LowerASCIIWord(p))
            {
                p += 8;
                continue;
            }
            if (*p < 0x80)
            {
                *p = m_aLowerByte[*p];
                ++p;
                continue;
            }
            char32_t c = 0;
            size_t nLen = DecodeUTF8(p, pEnd, c);
            if (nLen == 0)
            {
                ++p;
                continue;
            }
            char32_t cLower = LowerWide(c);
            if (cLower != c)
            {
                std::string strLower;
                AppendUTF8(strLower, cLower);
                if (strLower.size() != nLen)
                    break;
                std::copy(strLower.begin(), strLower.end(), p);
            }
            p += nLen;
        }
        if (p == pEnd)
            return;
        size_t nDone = static_cast<size_t>(p - reinterpret_cast<unsigned char*>(str.data()));
        std::string strOut(str, 0, nDone);
        strOut.reserve(n + 16);
        while (p < pEnd)
        {
            if (*p < 0x80)
            {
                strOut += static_cast<char>(m_aLowerByte[*p++]);
                continue;
            }
            char32_t c = 0;
            size_t nLen = DecodeUTF8(p, pEnd, c);
            if (nLen == 0)
            {
                strOut += static_cast<char>(*p++);
                continue;
            }
            char32_t cLower = LowerWide(c);
            if (cLower != c)
                AppendUTF8(strOut, cLower);
            else
                strOut.append(reinterpret_cast<const char*>(p), nLen);
            p += nLen;
        }
        str.swap(strOut);
        return;
    }

    for (size_t i = 0; i < n; ++i)
    {
        // A character starts at i: eight ASCII bytes there are eight characters.
        if (n - i >= 8 && LowerASCIIWord(reinterpret_cast<unsigned char*>(str.data()) + i))
        {
            i += 7;
            continue;
        }
        auto b = static_cast<unsigned char>(str[i]);
        if (m_bEucJp && m_aLead[b])
        {
            // Only whole characters are lowered: a lone lead byte leaves the next byte its own.
            const auto* p = reinterpret_cast<const unsigned char*>(str.data()) + i;
            const size_t nLen = EucJpCharLength(p, p + (n - i));
            if (nLen != 2)
            {
                i += nLen - 1;
                continue;
            }
        }
        if (m_bDoubleByte && m_aLead[b] && i + 1 < n)
        {
            auto nChar = static_cast<uint16_t>((b << 8) | static_cast<unsigned char>(str[i + 1]));
            uint16_t nLower = LowerDoubleByte(nChar);
            str[i] = static_cast<char>(nLower >> 8);
            str[i + 1] = static_cast<char>(nLower & 0xFF);
            ++i;
            continue;
        }
        str[i] = static_cast<char>(m_aLowerByte[b]);
    }
}
