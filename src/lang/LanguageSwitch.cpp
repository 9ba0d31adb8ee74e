#include "lang/LanguageSwitch.h"

#include "lang/TQwTrans2.h"
#include "platform/win32.h"
#include "ui/MyTricks.h"

std::string LanguageMarkerPath() {
    return GetDataFolder(ProductName) + "Surfkolibri.cho";
}

void SwitchLanguage(const std::string& name) {
    const std::string folder = GetDataFolder(ProductName);
    const std::string help = folder + "Surfkolibri.chm";
    const std::string documentation = folder + "Surfkolibri.doc";
    DeleteFileA(help.c_str());
    DeleteFileA(documentation.c_str());
    SelectLanguage(name);
    if (!FileExistsA(help) && !FileExistsA(documentation)) {
        SelectLanguage("ENGLISH");
        SelectLanguage(name);
    }
}
