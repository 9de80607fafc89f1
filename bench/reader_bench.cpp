// Times the compiled-help reader alone on one file: opening, the storage list, both sitemaps,
// reading every page in storage order (as the search harvest does) and unpacking everything.
// Prints wall and CPU seconds per step; asserts nothing.
//
//   reader_bench FILE.chm [OUTPUT_FOLDER]

#include "CCHMFileRW.h"
#include "CXML.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
class CStopwatch
{
public:
    CStopwatch() { Restart(); }
    void Restart()
    {
        m_wall = std::chrono::steady_clock::now();
        m_cpu = std::clock();
    }
    /// Prints the step and restarts.
    void Lap(const char* pszStep, const std::string& strNote = std::string())
    {
        const double dWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wall).count();
        const double dCpu = static_cast<double>(std::clock() - m_cpu) / CLOCKS_PER_SEC;
        std::printf("%-26s %7.3f s wall %7.3f s cpu  %s\n", pszStep, dWall, dCpu, strNote.c_str());
        Restart();
    }

private:
    std::chrono::steady_clock::time_point m_wall;
    std::clock_t m_cpu;
};

void CollectPages(CXML* pNode, std::vector<std::string>& vecPages)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        CXML* pChild = pNode->GetChildAt(i);
        if (pChild->GetAttrInt("Type") == 3)
            vecPages.push_back(pChild->GetAttr("Local"));
        CollectPages(pChild, vecPages);
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: reader_bench FILE.chm [OUTPUT_FOLDER]\n");
        return 2;
    }
    const std::string strOut =
        argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "reader_bench").string();
    std::error_code ec;
    std::filesystem::remove_all(strOut, ec);

    CStopwatch watch;
    CCHMFileRW reader;
    if (!reader.CHM_SetCHMFile(argv[1]))
    {
        std::fprintf(stderr, "reader_bench: %s does not open\n", argv[1]);
        return 1;
    }
    watch.Lap("open");

    CXML storage;
    reader.CHM_ReadAllStorageInfoToXML(&storage);
    std::vector<std::string> vecPages;
    CollectPages(&storage, vecPages);
    watch.Lap("storage list", std::to_string(vecPages.size()) + " files");

    CXML contents;
    const int nContents = reader.CHM2Web_ReadHHCInfoToXML(&contents, std::string());
    watch.Lap("contents sitemap", nContents != 0 ? "read" : "none");
    CXML index;
    const int nIndex = reader.CHM2Web_ReadHHKInfoToXML(&index);
    watch.Lap("index sitemap", nIndex != 0 ? "read" : "none");

    uint64_t nBytes = 0;
    size_t nFailed = 0;
    for (const std::string& strLocal : vecPages)
    {
        std::string strPath = strLocal.substr(1);
        for (char& c : strPath)
            c = c == '/' ? '\\' : c;
        unsigned char* pBuf = nullptr;
        const int64_t n = reader.CHM_GetStream(strPath, &pBuf, 1);
        if (n < 0)
            ++nFailed;
        else
            nBytes += static_cast<uint64_t>(n);
        std::free(pBuf);
    }
    watch.Lap("every file, storage order",
              std::to_string(nBytes / 1000000) + " MB, " + std::to_string(nFailed) + " unreadable");

    const int bAll = reader.CHM2Web_Decompile(strOut);
    watch.Lap("unpack", bAll != 0 ? "every file written to " + strOut : "some files not written");
    return 0;
}
