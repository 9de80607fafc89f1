#include "FuzzSupport.h"

#include "CBOMTextReader.h"
#include "CCodePage.h"

int Fuzz_BOMReader(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const CCodePage cp(Fuzz_CharsetRow(pData[0]));
    const auto* pText = pData + 1;
    const auto nText = static_cast<int64_t>(nSize - 1);

    CBOMTextReader reader(cp);
    const std::string strFromBuffer = reader.LoadBuffer(pText, nText);
    const std::string strFromBytes =
        reader.LoadBytes(std::string(reinterpret_cast<const char*>(pText), nSize - 1));
    // The two ways in are one reading.
    if (strFromBuffer != strFromBytes)
        Fuzz_Fail("LoadBuffer and LoadBytes differ");
    // A text decoded by its mark is written anew in the code page: a UTF-8 one is valid UTF-8.
    if (reader.GetEncoding() != CBOMTextReader::kNone && cp.IsUTF8() &&
        cp.FromWide(cp.ToWide(strFromBuffer)) != strFromBuffer)
        Fuzz_Fail("a text decoded by its byte-order mark is not valid UTF-8");
    return 0;
}
