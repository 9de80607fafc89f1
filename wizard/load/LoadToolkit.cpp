#include "BuiltInToolkit.h"

#include <dlfcn.h>

#include <string>

CDlgToolkit* StartBuiltInToolkit(std::string& strWhy)
{
    // Loaded once and kept: a toolkit cannot be started twice, nor its library unloaded.
    static FnStartWindowsToolkit s_pfnStart = nullptr;
    if (s_pfnStart == nullptr)
    {
        // The windows' library lies beside this one.
        Dl_info info{};
        std::string strPath = WEBHELP_WINDOWS_LIBRARY;
        if (dladdr(reinterpret_cast<void*>(&StartBuiltInToolkit), &info) != 0 && info.dli_fname != nullptr)
        {
            const std::string strSelf = info.dli_fname;
            const size_t nSlash = strSelf.rfind('/');
            if (nSlash != std::string::npos)
                strPath = strSelf.substr(0, nSlash + 1) + strPath;
        }
        void* pLibrary = dlopen(strPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (pLibrary != nullptr)
            s_pfnStart =
                reinterpret_cast<FnStartWindowsToolkit>(dlsym(pLibrary, "WebHelp_StartWindowsToolkit"));
        if (s_pfnStart == nullptr)
        {
            const char* pszError = dlerror();
            strWhy = "the wizard windows cannot be loaded (" +
                     std::string(pszError != nullptr ? pszError : strPath) + ")";
            return nullptr;
        }
    }
    return s_pfnStart(strWhy);
}
