// The addresses typed into the Open URL dialog, kept in the settings file in
// section "OpenURL History" under the keys "1", "2", … in list order.
#pragma once

#include <string>
#include <vector>

#include "platform/IniFile.h"

namespace kv {

constexpr int kOpenURLHistoryMax = 10;
extern const char* const kOpenURLHistorySection;

// The values in the order their keys stand in the file; key names are not
// interpreted.
std::vector<std::string> ReadOpenURLHistory(const IniFile& ini);
// Drops the oldest entry when the list is full, then appends text (duplicates kept).
void AddOpenURLHistory(std::vector<std::string>& history, const std::string& text);
// Writes entry i under the key i (from 1); other keys of the section stay.
void WriteOpenURLHistory(IniFile& ini, const std::vector<std::string>& history);

}  // namespace kv
