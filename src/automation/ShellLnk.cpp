#include "automation/ShellLnk.h"

#include "platform/win32.h"

#include <vector>

namespace {

// Shell link fields that name a path, and the texts that may be longer.
constexpr int kPathBuffer = MAX_PATH;
constexpr int kTextBuffer = 1024;

// The file name as UTF-16 through the ANSI code page, at most MAX_PATH characters with its
// terminator; false when it does not fit or cannot be converted.
bool wideFileName(const std::string& fileName, std::vector<WCHAR>& wide) {
    wide.assign(MAX_PATH, 0);
    return MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wide.data(), MAX_PATH) > 0;
}

std::string textOf(const std::vector<char>& buffer) {
    return std::string(buffer.data());
}

} // namespace

TShellLink::TShellLink() {
    CoInitialize(nullptr);
    SetDefaults("", "");
}

TShellLink::~TShellLink() {
    CoUninitialize();
}

void TShellLink::SetDefaults(const std::string& Target, const std::string& Args) {
    Path = Target;
    const auto split = Target.find_last_of("\\:");
    WorkingDirectory = split == std::string::npos ? std::string() : Target.substr(0, split + 1);
    Description = split == std::string::npos ? Target : Target.substr(split + 1);
    Arguments = Args;
    IconLocation.clear();
    IconIndex = 0;
    ShowCmd = 1;
    HotKey = 0;
}

bool TShellLink::LoadFromFile(const std::string& FileName) {
    SetDefaults("", "");
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())))
        return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.out()))) return false;
    std::vector<WCHAR> wide;
    if (!wideFileName(FileName, wide) || FAILED(file->Load(wide.data(), 0))) return false;

    std::vector<char> path(kPathBuffer, '\0');
    if (SUCCEEDED(link->GetWorkingDirectory(path.data(), kPathBuffer)))
        WorkingDirectory = textOf(path);
    path.assign(kPathBuffer, '\0');
    WIN32_FIND_DATAA found{};
    if (SUCCEEDED(link->GetPath(path.data(), kPathBuffer, &found, SLGP_UNCPRIORITY)))
        Path = textOf(path);
    path.assign(kPathBuffer, '\0');
    int iconIndex = 0;
    if (SUCCEEDED(link->GetIconLocation(path.data(), kPathBuffer, &iconIndex))) {
        IconLocation = textOf(path);
        IconIndex = iconIndex;
    }
    std::vector<char> text(kTextBuffer, '\0');
    if (SUCCEEDED(link->GetDescription(text.data(), kTextBuffer))) Description = textOf(text);
    int showCommand = 0;
    if (SUCCEEDED(link->GetShowCmd(&showCommand))) ShowCmd = showCommand;
    WORD hotKey = 0;
    if (SUCCEEDED(link->GetHotkey(&hotKey))) HotKey = hotKey;
    text.assign(kTextBuffer, '\0');
    if (SUCCEEDED(link->GetArguments(text.data(), kTextBuffer))) Arguments = textOf(text);
    return true;
}

bool TShellLink::SaveToFile(const std::string& FileName) {
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())))
        return false;
    // Every field is attempted; any refusal makes the result false.
    bool result = true;
    result &= SUCCEEDED(link->SetPath(Path.c_str()));
    result &= SUCCEEDED(link->SetDescription(Description.c_str()));
    result &= SUCCEEDED(link->SetWorkingDirectory(WorkingDirectory.c_str()));
    result &= SUCCEEDED(link->SetArguments(Arguments.c_str()));
    result &= SUCCEEDED(link->SetHotkey(static_cast<WORD>(HotKey & 0xFFFF)));
    result &= SUCCEEDED(link->SetShowCmd(ShowCmd));
    result &= SUCCEEDED(link->SetIconLocation(IconLocation.c_str(), IconIndex));
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.out()))) return false;
    // A shortcut that was not written is no success, whatever the fields said.
    std::vector<WCHAR> wide;
    if (!wideFileName(FileName, wide) || FAILED(file->Save(wide.data(), TRUE))) return false;
    return result;
}
