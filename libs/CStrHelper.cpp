#include "CStrHelper.h"

#include <unordered_map>

namespace
{
std::unordered_map<int, std::string>& Table()
{
    static std::unordered_map<int, std::string> s_map;
    return s_map;
}
} // namespace

std::string CStrHelper::ML_GetStringEx(int nID)
{
    auto it = Table().find(nID);
    return it == Table().end() ? std::string() : it->second;
}

void CStrHelper::SetStringTable(std::vector<std::pair<int, std::string>> vecTexts)
{
    auto& map = Table();
    map.clear();
    for (auto& entry : vecTexts)
        map[entry.first] = std::move(entry.second);
}
