// The five keys of section "Option" that only the options dialog reads and
// writes, straight from and to the settings file; and the priority classes.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

struct OptionAssociationKeys {
    bool Regswf = false, Regfpl = false, Regffv = false, LinkToMenu = false;
};

// From <programPath>Korvamelden.ini; defaults false and page 0.
OptionAssociationKeys ReadOptionAssociationKeys(const std::string& programPath);
int ReadOptionPage(const std::string& programPath);
// Written at once; IniWriteError when the file cannot be written.
void WriteOptionAssociationKeys(const std::string& programPath, const OptionAssociationKeys& keys);
void WriteOptionPage(const std::string& programPath, int page);

// The priority class of an "ApplicationPRI" value (1 idle … 4 realtime);
// normal for anything else.
DWORD PriorityClassOf(int applicationPri);

}  // namespace kv
