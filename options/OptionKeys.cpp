#include "options/OptionKeys.h"

#include "app/Settings.h"
#include "platform/IniFile.h"

namespace kv {

namespace {
const char* const kOption = "Option";

void save(IniFile& ini) {
    if (!ini.updateFile()) throw IniWriteError(ini.path());
}
}  // namespace

OptionAssociationKeys ReadOptionAssociationKeys(const std::string& programPath) {
    IniFile ini(programPath + kSettingsFileName);
    OptionAssociationKeys k;
    k.Regswf = ini.readBool(kOption, "Regswf", false);
    k.Regffv = ini.readBool(kOption, "Regffv", false);
    k.Regfpl = ini.readBool(kOption, "Regfpl", false);
    k.LinkToMenu = ini.readBool(kOption, "LinkToMenu", false);
    return k;
}

int ReadOptionPage(const std::string& programPath) {
    return IniFile(programPath + kSettingsFileName).readInteger(kOption, "Option", 0);
}

void WriteOptionAssociationKeys(const std::string& programPath, const OptionAssociationKeys& k) {
    IniFile ini(programPath + kSettingsFileName);
    ini.writeBool(kOption, "Regswf", k.Regswf);
    ini.writeBool(kOption, "Regffv", k.Regffv);
    ini.writeBool(kOption, "Regfpl", k.Regfpl);
    ini.writeBool(kOption, "LinkToMenu", k.LinkToMenu);
    save(ini);
}

void WriteOptionPage(const std::string& programPath, int page) {
    IniFile ini(programPath + kSettingsFileName);
    ini.writeInteger(kOption, "Option", page);
    save(ini);
}

DWORD PriorityClassOf(int applicationPri) {
    switch (applicationPri) {
        case 1:
            return IDLE_PRIORITY_CLASS;
        case 3:
            return HIGH_PRIORITY_CLASS;
        case 4:
            return REALTIME_PRIORITY_CLASS;
        default:
            return NORMAL_PRIORITY_CLASS;
    }
}

}  // namespace kv
