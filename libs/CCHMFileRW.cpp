#include "CCHMFileRW.h"

#include "CXML.h"

// Placeholder until the libmspack reader lands: every file fails to open.
struct CCHMFileRW::CImpl
{
    CCHMSystemInfo info;
};

CCHMFileRW::CCHMFileRW() : m_pImpl(std::make_unique<CImpl>()) {}
CCHMFileRW::~CCHMFileRW() = default;
bool CCHMFileRW::CHM_SetCHMFile(const std::string&)
{
    return false;
}
void CCHMFileRW::CHM_CloseCHMFile() {}
bool CCHMFileRW::CHM_IsOpen() const
{
    return false;
}
int CCHMFileRW::CHM2Web_ReadHHCInfoToXML(CXML*, const std::string&)
{
    return 0;
}
int CCHMFileRW::CHM2Web_ReadHHKInfoToXML(CXML*)
{
    return 0;
}
bool CCHMFileRW::CHM_SitemapMissing() const
{
    return false;
}
int CCHMFileRW::CHM_ReadAllStorageInfoToXML(CXML*)
{
    return 0;
}
int64_t CCHMFileRW::CHM_GetStream(const std::string&, unsigned char** ppBuf, int)
{
    if (ppBuf != nullptr)
        *ppBuf = nullptr;
    return -1;
}
int CCHMFileRW::CHM2Web_Decompile(const std::string&)
{
    return 0;
}
const CCHMSystemInfo& CCHMFileRW::CHM_GetSystemInfo() const
{
    return m_pImpl->info;
}
