// lnk create / lnk show: shell links written and read through the platform's link object.
#include "commands.h"

#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/win32.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace skplatform {
namespace {

const char* const kLnkHelp =
    "usage: skplatform lnk create FILE --target PATH [--args TEXT] [--workdir PATH]\n"
    "                                  [--description TEXT] [--icon PATH,INDEX] [--show N]\n"
    "       skplatform lnk show FILE\n\n"
    "Writes or reads a shell link (.lnk). FILE and the paths are Windows paths such as\n"
    "C:\\Users\\User\\Desktop\\Notes.lnk, or host paths (a host path inside the root's drive C:\n"
    "is its C: path, any other is on drive Z:). 'show' prints one 'field: value' line per\n"
    "field: target, arguments, workdir, description, icon, show, hotkey.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "skplatform lnk: %s\n", message.c_str());
    std::fprintf(stderr, "'skplatform lnk --help' describes the syntax.\n");
    return 2;
}

int failure(const std::string& message) {
    std::fprintf(stderr, "skplatform lnk: %s\n", platform::ansiToUtf8(message).c_str());
    return 1;
}

std::string hresultText(HRESULT hr) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// A path as the user typed it: "X:..." is a Windows path, anything else a host path.
std::string windowsPathOf(const std::string& arg) {
    const bool windows = arg.size() >= 2 && arg[1] == ':' &&
                         ((arg[0] >= 'A' && arg[0] <= 'Z') || (arg[0] >= 'a' && arg[0] <= 'z'));
    if (windows) return platform::utf8ToAnsi(arg);
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(arg, ec).lexically_normal();
    std::string host = ec ? arg : absolute.string();
    while (host.size() > 1 && host.back() == '/')
        host.pop_back();
    return platform::windowsPathOf(platform::HostPath(host));
}

bool parseInt(const std::string& text, int& value) {
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || !end || *end != '\0' || errno != 0 || parsed < INT32_MIN ||
        parsed > INT32_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

class Link {
  public:
    Link() {
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link_));
        if (link_) link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    }
    ~Link() {
        if (file_) file_->Release();
        if (link_) link_->Release();
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    bool ready() const { return link_ && file_; }
    IShellLinkA* operator->() const { return link_; }
    IPersistFile* file() const { return file_; }

  private:
    IShellLinkA* link_ = nullptr;
    IPersistFile* file_ = nullptr;
};

int runCreate(const Args& args) {
    if (args.empty()) return usageError("create needs a FILE");
    std::string file;
    std::map<std::string, std::string> options;
    const char* const known[] = {"--target",      "--args", "--workdir",
                                 "--description", "--icon", "--show"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            bool isKnown = false;
            for (const char* k : known)
                isKnown = isKnown || a == k;
            if (!isKnown) return usageError("unknown option '" + a + "'");
            if (i + 1 >= args.size()) return usageError(a + " needs a value");
            if (options.count(a)) return usageError(a + " is given twice");
            options[a] = args[++i];
        } else if (file.empty()) {
            file = a;
        } else {
            return usageError("unexpected argument '" + a + "'");
        }
    }
    if (file.empty()) return usageError("create needs a FILE");
    if (!options.count("--target")) return usageError("create needs --target PATH");

    int show = SW_SHOWNORMAL;
    if (options.count("--show") && !parseInt(options["--show"], show))
        return usageError("'" + options["--show"] + "' is not a show command number");
    std::string iconPath;
    int iconIndex = 0;
    if (options.count("--icon")) {
        const std::string& icon = options["--icon"];
        const auto comma = icon.find_last_of(',');
        if (comma != std::string::npos && parseInt(icon.substr(comma + 1), iconIndex))
            iconPath = icon.substr(0, comma);
        else if (comma != std::string::npos)
            return usageError("'" + icon + "' is not PATH,INDEX");
        else
            iconPath = icon;
        if (iconPath.empty()) return usageError("--icon needs a PATH");
        iconPath = windowsPathOf(iconPath);
    }

    Link link;
    if (!link.ready()) return failure("the shell link object is not available");
    const std::string target = windowsPathOf(options["--target"]);
    if (FAILED(link->SetPath(target.c_str())))
        return failure("'" + target + "' cannot be a link target");
    const std::pair<const char*, HRESULT (IShellLinkA::*)(LPCSTR)> texts[] = {
        {"--args", &IShellLinkA::SetArguments},
        {"--description", &IShellLinkA::SetDescription},
    };
    for (const auto& [option, setter] : texts)
        if (options.count(option) &&
            FAILED((link.operator->()->*setter)(platform::utf8ToAnsi(options[option]).c_str())))
            return failure(std::string(option) + " is too long for a shell link");
    if (options.count("--workdir") &&
        FAILED(link->SetWorkingDirectory(windowsPathOf(options["--workdir"]).c_str())))
        return failure("--workdir is too long for a shell link");
    if (!iconPath.empty() && FAILED(link->SetIconLocation(iconPath.c_str(), iconIndex)))
        return failure("--icon is too long for a shell link");
    link->SetShowCmd(show);

    const std::string linkPath = windowsPathOf(file);
    const HRESULT hr = link.file()->Save(AnsiToWide(linkPath).c_str(), TRUE);
    if (FAILED(hr))
        return failure("cannot write '" + linkPath + "' (error " +
                       std::to_string(HRESULT_CODE(hr)) + ")");
    std::printf("%s\n", platform::ansiToUtf8(linkPath).c_str());
    return 0;
}

int runShow(const Args& args) {
    if (args.size() != 1)
        return usageError(args.empty() ? "show needs a FILE"
                                       : "unexpected argument '" + args[1] + "'");
    const std::string linkPath = windowsPathOf(args[0]);
    if (GetFileAttributesA(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return failure("'" + linkPath + "' does not exist");
    Link link;
    if (!link.ready()) return failure("the shell link object is not available");
    const HRESULT hr = link.file()->Load(AnsiToWide(linkPath).c_str(), STGM_READ);
    if (FAILED(hr))
        return failure("'" + linkPath + "' is not a valid shell link (HRESULT " + hresultText(hr) +
                       ")");
    char text[INFOTIPSIZE + MAX_PATH];
    auto line = [](const char* field, const std::string& value) {
        std::printf("%s: %s\n", field, platform::ansiToUtf8(value).c_str());
    };
    link->GetPath(text, sizeof text, nullptr, SLGP_UNCPRIORITY);
    line("target", text);
    link->GetArguments(text, sizeof text);
    line("arguments", text);
    link->GetWorkingDirectory(text, sizeof text);
    line("workdir", text);
    link->GetDescription(text, sizeof text);
    line("description", text);
    int iconIndex = 0;
    link->GetIconLocation(text, sizeof text, &iconIndex);
    line("icon", *text || iconIndex ? std::string(text) + "," + std::to_string(iconIndex) : "");
    int show = 0;
    link->GetShowCmd(&show);
    line("show", std::to_string(show));
    WORD hotkey = 0;
    link->GetHotkey(&hotkey);
    line("hotkey", std::to_string(hotkey));
    return 0;
}

} // namespace

int runLnk(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("%s", kLnkHelp);
        return 0;
    }
    if (args.empty()) return usageError("a subcommand is needed (create or show)");
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "create") return runCreate(rest);
    if (args[0] == "show") return runShow(rest);
    return usageError("unknown subcommand '" + args[0] + "' (create or show)");
}

} // namespace skplatform
