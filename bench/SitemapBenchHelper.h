#pragma once

#include "CWebHelpHelper.h"

/// The converter with the sitemap steps the benchmarks time made reachable.
struct CSitemapBenchHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_CreateContentsScriptFile;
    using CWebHelpHelper::CHM2Web_CreateIndexScriptFile;
    using CWebHelpHelper::CHM2Web_CreateIndexScriptFromElements;
    using CWebHelpHelper::CHM2Web_SplitHHCInfo;
    using CWebHelpHelper::CHM2Web_SplitHHKElements;
    using CWebHelpHelper::CHM2Web_SplitHHKInfo;
};
