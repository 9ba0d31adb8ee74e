#include "automation/StartupShortcut.h"

#include "automation/ShellLnk.h"
#include "lang/TQwTrans2.h"
#include "platform/win32.h"
#include "ui/CommandLine.h"
#include "ui/MyTricks.h"

namespace {

const std::string kShellFoldersKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr int kTranslatedNameText = 169;

// A folder value counts when it is longer than 3 characters.
std::string countingFolder(std::string value) {
    if (value.size() <= 3) return {};
    if (value.back() != '\\') value += '\\';
    return value;
}

bool usableInFileName(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return true;
}

void addOnce(std::vector<std::string>& names, const std::string& name) {
    for (const auto& known : names)
        if (AnsiSameText(known, name)) return;
    names.push_back(name);
}

std::vector<std::string> countingFolders() {
    std::vector<std::string> folders;
    for (const std::string& folder : {UserStartupFolder(), CommonStartupFolder()})
        if (!folder.empty()) folders.push_back(folder);
    return folders;
}

} // namespace

std::string UserStartupFolder() {
    return countingFolder(ReadUserRegString(kShellFoldersKey, "Startup"));
}

std::string CommonStartupFolder() {
    return countingFolder(ReadMachineRegString(kShellFoldersKey, "Common Startup"));
}

std::string TranslatedShortcutName(const std::string& text169) {
    if (text169.empty() || !usableInFileName(text169)) return kFixedShortcutName;
    return text169 + ".lnk";
}

std::string TranslatedShortcutName() {
    return TranslatedShortcutName(GetText(kTranslatedNameText));
}

std::vector<std::string> StartupShortcutNames() {
    std::vector<std::string> names{kFixedShortcutName, TranslatedShortcutName()};
    QwTrans2 language(ProductName);
    for (int n = 0; n < QwTrans2::kLanguageSlots; ++n) {
        const std::string file =
            GetDataFilePath(ProductName, ProductName + ".t0" + std::to_string(n));
        if (!FileExistsA(file)) continue;
        language.LoadTextFile(file);
        addOnce(names, TranslatedShortcutName(language.GetText(kTranslatedNameText)));
    }
    return names;
}

std::string OptionLetters(bool cookies, bool cache, bool history, bool mruLists,
                          bool typedAddresses, bool successMessage) {
    std::string letters;
    if (cookies) letters += 'c';
    if (cache) letters += 'b';
    if (history) letters += 'h';
    if (mruLists) letters += 'm';
    if (typedAddresses) letters += 'e';
    if (successMessage) letters += 'n';
    return letters;
}

CleaningResult RemoveStartupShortcuts(CleaningMode mode) {
    CleaningResult result;
    const std::vector<std::string> names = StartupShortcutNames();
    for (const std::string& folder : countingFolders())
        for (const std::string& name : names)
            CleanFile(folder + name, mode, result);
    return result;
}

void CreateStartupShortcut(TShellLink& link, const std::string& options) {
    const std::string folder = UserStartupFolder();
    if (folder.empty()) return;
    RemoveStartupShortcuts();
    const std::string program = ProgramFilePath();
    link.Path = program;
    link.Arguments = options;
    link.IconLocation = program;
    link.SaveToFile(folder + TranslatedShortcutName());
}

void ApplyAutomationOptions(TShellLink& link, const std::string& options) {
    if (!options.empty() && options != "n")
        CreateStartupShortcut(link, options);
    else
        RemoveStartupShortcuts();
}

std::string LoadAutomationShortcut(TShellLink& link) {
    const std::vector<std::string> names = StartupShortcutNames();
    for (const std::string& folder : countingFolders())
        for (const std::string& name : names)
            if (FileExistsA(folder + name)) {
                link.LoadFromFile(folder + name);
                return link.Arguments;
            }
    return {};
}
