#include "app/OpenURLHistory.h"

namespace kv {

const char* const kOpenURLHistorySection = "OpenURL History";

std::vector<std::string> ReadOpenURLHistory(const IniFile& ini) {
    std::vector<std::string> out;
    for (const std::string& key : ini.readSection(kOpenURLHistorySection))
        out.push_back(ini.readString(kOpenURLHistorySection, key, ""));
    return out;
}

void AddOpenURLHistory(std::vector<std::string>& history, const std::string& text) {
    if (history.size() >= static_cast<size_t>(kOpenURLHistoryMax)) history.erase(history.begin());
    history.push_back(text);
}

void WriteOpenURLHistory(IniFile& ini, const std::vector<std::string>& history) {
    for (size_t i = 0; i < history.size(); ++i)
        ini.writeString(kOpenURLHistorySection, std::to_string(i + 1), history[i]);
}

}  // namespace kv
