// reg query|add|delete|import|export: the registry of the root, in the manner of the Windows
// reg command. The tool is the machine's administrator console, so it writes HKLM directly.
#include "commands.h"

#include "platform/ansi.h"
#include "platform/regfile.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

namespace skplatform {
namespace {

namespace registry = platform::registry;
namespace regfile = platform::regfile;

const char* const kDone = "The operation completed successfully.\n";

const char* const kRegUsage =
    "usage: skplatform reg query  KEY [/v NAME | /ve] [/s]\n"
    "       skplatform reg add    KEY [/v NAME | /ve] [/t TYPE] [/s SEP] [/d DATA] [/f]\n"
    "       skplatform reg delete KEY [/v NAME | /ve | /va] /f\n"
    "       skplatform reg import FILE\n"
    "       skplatform reg export KEY FILE [/y] [/regedit4]\n"
    "\n"
    "KEY is ROOT\\SubKey with ROOT one of HKCU, HKLM, HKCR or HKEY_CURRENT_USER,\n"
    "HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT. Options may start with '/' or '-'.\n"
    "\n"
    "  query   lists the key's values and sub-keys; /v one value, /ve the default value,\n"
    "          /s every key below as well.\n"
    "  add     creates the key and sets a value. TYPE is REG_SZ (default), REG_EXPAND_SZ,\n"
    "          REG_MULTI_SZ, REG_DWORD or REG_BINARY. DATA of a REG_DWORD is decimal or 0x\n"
    "          hex; of a REG_BINARY hex digits; of a REG_MULTI_SZ strings separated by SEP\n"
    "          (default the two characters \\0). An existing value is replaced only with\n"
    "          /f, since there is no prompt.\n"
    "  delete  removes the key with everything below it, one value (/v, /ve) or all its\n"
    "          values (/va). Needs /f, since there is no prompt.\n"
    "  import  carries out a .reg file: all of it, or nothing when a line is malformed.\n"
    "  export  writes the key and everything below it as a .reg file, in Unicode \"Windows\n"
    "          Registry Editor Version 5.00\" or with /regedit4 in 8-bit \"REGEDIT4\". An\n"
    "          existing file is replaced only with /y.\n"
    "\n"
    "FILE is a path on this computer, or a Windows path such as C:\\Users\\User\\x.reg.\n"
    "The tool is the machine's administrator console: it writes HKLM whatever the\n"
    "'admin' setting says.\n";

// Command-line text is UTF-8; the registry holds ANSI text.
std::string fromArg(const std::string& arg) {
    return platform::utf8ToAnsi(arg);
}
std::string forTerminal(const std::string& ansi) {
    return platform::ansiToUtf8(ansi);
}

int usageError(const std::string& sub, const std::string& message) {
    std::fprintf(stderr, "skplatform reg %s: %s\n", sub.c_str(), message.c_str());
    std::fprintf(stderr, "'skplatform reg --help' describes the syntax.\n");
    return 2;
}

int failure(const std::string& sub, const std::string& message) {
    std::fprintf(stderr, "skplatform reg %s: %s\n", sub.c_str(), forTerminal(message).c_str());
    return 1;
}

struct Options {
    std::optional<std::string> valueName; // /v
    bool defaultValue = false;            // /ve
    bool allValues = false;               // /va
    bool recurse = false;                 // /s in query
    std::optional<std::string> separator; // /s in add
    std::optional<std::string> type;      // /t
    std::optional<std::string> data;      // /d
    bool force = false;                   // /f
    bool overwrite = false;               // /y
    bool regedit4 = false;
    std::vector<std::string> positional;
};

// Parses the options that `allowed` names (space-separated, lower case). False with a
// message naming the bad argument.
bool parseOptions(const Args& args, const std::string& allowed, bool separatorTakesArg,
                  Options& options, std::string& message) {
    const std::string known = " " + allowed + " ";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A host path such as /tmp/x.reg is an argument, not an option.
        const bool hostPath = arg[0] == '/' && arg.find('/', 1) != std::string::npos;
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-') || hostPath) {
            options.positional.push_back(arg);
            continue;
        }
        const std::string name = AnsiLowerCase(arg.substr(1));
        if (known.find(" " + name + " ") == std::string::npos) {
            message = "unknown option '" + arg + "'";
            return false;
        }
        auto takeArgument = [&](std::optional<std::string>& slot) {
            if (slot) {
                message = "option '" + arg + "' given twice";
                return false;
            }
            if (i + 1 >= args.size()) {
                message = "option '" + arg + "' needs an argument";
                return false;
            }
            slot = fromArg(args[++i]);
            return true;
        };
        bool ok = true;
        if (name == "v")
            ok = takeArgument(options.valueName);
        else if (name == "t")
            ok = takeArgument(options.type);
        else if (name == "d")
            ok = takeArgument(options.data);
        else if (name == "s" && separatorTakesArg)
            ok = takeArgument(options.separator);
        else if (name == "s")
            options.recurse = true;
        else if (name == "ve")
            options.defaultValue = true;
        else if (name == "va")
            options.allValues = true;
        else if (name == "f")
            options.force = true;
        else if (name == "y")
            options.overwrite = true;
        else if (name == "regedit4")
            options.regedit4 = true;
        if (!ok) return false;
    }
    if (static_cast<int>(options.valueName.has_value()) + options.defaultValue + options.allValues >
        1) {
        message = "/v, /ve and /va exclude each other";
        return false;
    }
    return true;
}

struct KeyName {
    registry::KeyId hive = registry::kNoKey;
    std::string path; // below the hive, no leading or trailing backslash
    std::string display() const {
        return path.empty() ? registry::hiveName(hive) : registry::hiveName(hive) + "\\" + path;
    }
};

bool parseKey(const std::string& arg, KeyName& key, std::string& message) {
    const std::string text = fromArg(arg);
    if (text.rfind("\\\\", 0) == 0) {
        message = "'" + arg + "' names another computer; only the local registry is hosted";
        return false;
    }
    const std::size_t slash = text.find('\\');
    key.hive = registry::hiveByName(text.substr(0, slash));
    if (key.hive == registry::kNoKey) {
        message = "'" + arg + "' does not start with HKCU, HKLM, HKCR or their long names";
        return false;
    }
    key.path = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    while (!key.path.empty() && key.path.back() == '\\')
        key.path.pop_back();
    if (key.path.find("\\\\") != std::string::npos || (!key.path.empty() && key.path[0] == '\\')) {
        message = "'" + arg + "' has an empty key name in it";
        return false;
    }
    return true;
}

std::string typeName(DWORD type) {
    static const char* const names[] = {"REG_NONE",
                                        "REG_SZ",
                                        "REG_EXPAND_SZ",
                                        "REG_BINARY",
                                        "REG_DWORD",
                                        "REG_DWORD_BIG_ENDIAN",
                                        "REG_LINK",
                                        "REG_MULTI_SZ",
                                        "REG_RESOURCE_LIST",
                                        "REG_FULL_RESOURCE_DESCRIPTOR",
                                        "REG_RESOURCE_REQUIREMENTS_LIST",
                                        "REG_QWORD"};
    if (type < sizeof names / sizeof names[0]) return names[type];
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(type));
    return buffer;
}

std::string hexOf(const std::string& bytes) {
    std::string out;
    char buffer[4];
    for (unsigned char b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X", b);
        out += buffer;
    }
    return out;
}

std::string displayData(const registry::Value& value) {
    const std::string& d = value.data;
    switch (value.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return d.substr(0, d.find('\0'));
    case REG_MULTI_SZ: {
        std::string out;
        std::size_t start = 0;
        while (start < d.size() && d[start] != '\0') {
            std::size_t end = d.find('\0', start);
            if (end == std::string::npos) end = d.size();
            if (!out.empty()) out += "\\0";
            out += d.substr(start, end - start);
            start = end + 1;
        }
        return out;
    }
    case REG_DWORD:
        if (d.size() == 4) {
            std::uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | static_cast<unsigned char>(d[i]);
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(n));
            return buffer;
        }
        return hexOf(d);
    case 11: // REG_QWORD
        if (d.size() == 8) {
            std::uint64_t n = 0;
            for (int i = 7; i >= 0; --i)
                n = (n << 8) | static_cast<unsigned char>(d[i]);
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, "0x%" PRIx64, n);
            return buffer;
        }
        return hexOf(d);
    default:
        return hexOf(d);
    }
}

void printValue(const registry::Value& value) {
    const std::string name = value.name.empty() ? "(Default)" : value.name;
    std::printf("    %s    %s    %s\n", forTerminal(name).c_str(), typeName(value.type).c_str(),
                forTerminal(displayData(value)).c_str());
}

void printKeyLine(registry::KeyId key) {
    std::printf("%s\n", forTerminal(registry::fullPath(key)).c_str());
}

// Prints the keys (below and including `key`) that hold the value; returns how many.
int queryValueRecursive(registry::KeyId key, const std::string& name) {
    int found = 0;
    registry::Value value;
    if (registry::getValue(key, name, value)) {
        printKeyLine(key);
        printValue(value);
        std::printf("\n");
        ++found;
    }
    for (registry::KeyId child : registry::children(key))
        found += queryValueRecursive(child, name);
    return found;
}

void queryTree(registry::KeyId key) {
    printKeyLine(key);
    for (const auto& value : registry::values(key))
        printValue(value);
    std::printf("\n");
    for (registry::KeyId child : registry::children(key))
        queryTree(child);
}

int runQuery(const Args& args) {
    Options options;
    std::string message;
    if (!parseOptions(args, "v ve s", false, options, message)) return usageError("query", message);
    if (options.positional.size() != 1)
        return usageError("query", options.positional.empty()
                                       ? "a KEY is needed"
                                       : "unexpected argument '" + options.positional[1] + "'");
    KeyName name;
    if (!parseKey(options.positional[0], name, message)) return usageError("query", message);
    const registry::KeyId key = registry::find(name.hive, name.path);
    if (key == registry::kNoKey)
        return failure("query", "the key '" + name.display() + "' does not exist");

    if (options.valueName || options.defaultValue) {
        const std::string valueName = options.valueName ? *options.valueName : std::string();
        std::printf("\n");
        if (options.recurse) {
            const int found = queryValueRecursive(key, valueName);
            std::printf("End of search: %d match(es) found.\n", found);
            return found > 0 ? 0 : 1;
        }
        registry::Value value;
        if (!registry::getValue(key, valueName, value)) {
            if (!options.defaultValue)
                return failure("query",
                               "the key '" + name.display() + "' has no value '" + valueName + "'");
            printKeyLine(key);
            std::printf("    (Default)    REG_SZ    (value not set)\n\n");
            return 0;
        }
        printKeyLine(key);
        printValue(value);
        std::printf("\n");
        return 0;
    }

    std::printf("\n");
    if (options.recurse) {
        queryTree(key);
        return 0;
    }
    printKeyLine(key);
    for (const auto& value : registry::values(key))
        printValue(value);
    const auto children = registry::children(key);
    if (!children.empty()) std::printf("\n");
    for (registry::KeyId child : children)
        printKeyLine(child);
    std::printf("\n");
    return 0;
}

bool parseTypeName(const std::string& text, DWORD& type) {
    const std::string upper = AnsiUpperCase(text);
    const struct {
        const char* name;
        DWORD type;
    } kTypes[] = {{"REG_SZ", REG_SZ},
                  {"REG_EXPAND_SZ", REG_EXPAND_SZ},
                  {"REG_MULTI_SZ", REG_MULTI_SZ},
                  {"REG_DWORD", REG_DWORD},
                  {"REG_BINARY", REG_BINARY}};
    for (const auto& t : kTypes)
        if (upper == t.name) {
            type = t.type;
            return true;
        }
    return false;
}

// The bytes to store for DATA given on the command line.
bool encodeData(DWORD type, const std::string& text, const std::string& separator,
                std::string& bytes, std::string& message) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        bytes = text + std::string(1, '\0');
        return true;
    case REG_MULTI_SZ: {
        bytes.clear();
        if (!text.empty()) {
            std::size_t start = 0;
            for (;;) {
                const std::size_t end = text.find(separator, start);
                const std::string part = text.substr(start, end - start);
                if (part.empty()) {
                    message = "the REG_MULTI_SZ data '" + text + "' has an empty string in it";
                    return false;
                }
                bytes += part + std::string(1, '\0');
                if (end == std::string::npos) break;
                start = end + separator.size();
            }
        }
        bytes.push_back('\0');
        return true;
    }
    case REG_DWORD: {
        std::uint64_t value = 0;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const std::string digits = hex ? text.substr(2) : text;
        bool ok = true;
        for (char c : digits) {
            const int d = std::isxdigit(static_cast<unsigned char>(c))
                              ? (std::isdigit(static_cast<unsigned char>(c))
                                     ? c - '0'
                                     : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10)
                              : -1;
            if (d < 0 || (!hex && d > 9)) {
                ok = false;
                break;
            }
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFull) {
                ok = false;
                break;
            }
        }
        if (!ok) {
            message = "'" + text + "' is not a REG_DWORD (0 to 4294967295, or 0x hex)";
            return false;
        }
        bytes.clear();
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        return true;
    }
    case REG_BINARY: {
        if (text.size() % 2 != 0) {
            message = "the REG_BINARY data '" + text + "' has an odd number of hex digits";
            return false;
        }
        bytes.clear();
        for (std::size_t i = 0; i < text.size(); i += 2) {
            const std::string pair = text.substr(i, 2);
            if (!std::isxdigit(static_cast<unsigned char>(pair[0])) ||
                !std::isxdigit(static_cast<unsigned char>(pair[1]))) {
                message = "'" + text + "' is not hex data for REG_BINARY";
                return false;
            }
            bytes.push_back(static_cast<char>(std::stoi(pair, nullptr, 16)));
        }
        return true;
    }
    default:
        message = "unsupported type";
        return false;
    }
}

int runAdd(const Args& args) {
    Options options;
    std::string message;
    if (!parseOptions(args, "v ve t s d f", true, options, message))
        return usageError("add", message);
    if (options.positional.size() != 1)
        return usageError("add", options.positional.empty()
                                     ? "a KEY is needed"
                                     : "unexpected argument '" + options.positional[1] + "'");
    KeyName name;
    if (!parseKey(options.positional[0], name, message)) return usageError("add", message);
    DWORD type = REG_SZ;
    if (options.type && !parseTypeName(*options.type, type))
        return usageError("add", "unknown value type '" + *options.type + "'");
    std::string separator = "\\0";
    if (options.separator) {
        if (type != REG_MULTI_SZ) return usageError("add", "/s SEP applies to REG_MULTI_SZ only");
        if (options.separator->size() != 1)
            return usageError("add",
                              "the separator '" + *options.separator + "' must be one character");
        separator = *options.separator;
    }
    const bool settingValue = options.valueName || options.defaultValue;
    if (!settingValue && (options.type || options.data))
        return usageError("add", "/t and /d need /v NAME or /ve");
    std::string bytes;
    if (settingValue && !encodeData(type, options.data.value_or(""), separator, bytes, message))
        return usageError("add", message);

    platform::Transaction tx;
    const registry::KeyId key = registry::create(name.hive, name.path);
    if (settingValue) {
        const std::string valueName = options.valueName.value_or("");
        registry::Value existing;
        if (!options.force && registry::getValue(key, valueName, existing))
            return failure("add", "the value '" + (valueName.empty() ? "(Default)" : valueName) +
                                      "' of '" + name.display() +
                                      "' exists; pass /f to overwrite it");
        registry::setValue(key, valueName, type, bytes);
    }
    tx.commit();
    std::printf("%s", kDone);
    return 0;
}

int runDelete(const Args& args) {
    Options options;
    std::string message;
    if (!parseOptions(args, "v ve va f", false, options, message))
        return usageError("delete", message);
    if (options.positional.size() != 1)
        return usageError("delete", options.positional.empty()
                                        ? "a KEY is needed"
                                        : "unexpected argument '" + options.positional[1] + "'");
    KeyName name;
    if (!parseKey(options.positional[0], name, message)) return usageError("delete", message);
    const bool wholeKey = !options.valueName && !options.defaultValue && !options.allValues;
    if (wholeKey && name.path.empty())
        return failure("delete", "the root key '" + name.display() + "' cannot be deleted");
    if (!options.force)
        return failure("delete", "deleting from '" + name.display() +
                                     "' needs /f, since there is no prompt to confirm it");

    platform::Transaction tx;
    const registry::KeyId key = registry::find(name.hive, name.path);
    if (key == registry::kNoKey)
        return failure("delete", "the key '" + name.display() + "' does not exist");
    if (wholeKey) {
        registry::removeTree(key);
    } else if (options.allValues) {
        for (const auto& value : registry::values(key))
            registry::removeValue(key, value.name);
    } else {
        const std::string valueName = options.valueName.value_or("");
        if (!registry::removeValue(key, valueName))
            return failure("delete", "the key '" + name.display() + "' has no value '" +
                                         (valueName.empty() ? "(Default)" : valueName) + "'");
    }
    tx.commit();
    std::printf("%s", kDone);
    return 0;
}

bool isWindowsPath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool readFile(const std::string& path, std::string& bytes) {
    if (isWindowsPath(path)) return ReadWholeFile(fromArg(path), bytes);
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    bytes = s.str();
    return !in.bad();
}

bool fileExists(const std::string& path) {
    if (isWindowsPath(path)) return FileExistsA(fromArg(path));
    return std::ifstream(path).good();
}

bool writeFile(const std::string& path, const std::string& bytes) {
    if (isWindowsPath(path)) return WriteWholeFile(fromArg(path), bytes);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return out.good();
}

int runImport(const Args& args) {
    Options options;
    std::string message;
    if (!parseOptions(args, "", false, options, message)) return usageError("import", message);
    if (options.positional.size() != 1)
        return usageError("import", options.positional.empty()
                                        ? "a FILE is needed"
                                        : "unexpected argument '" + options.positional[1] + "'");
    const std::string& file = options.positional[0];
    std::string bytes;
    if (!readFile(file, bytes)) return failure("import", "cannot read '" + fromArg(file) + "'");
    regfile::Error error;
    if (!regfile::importFile(bytes, error)) {
        const std::string where =
            error.line > 0 ? fromArg(file) + ", line " + std::to_string(error.line) : fromArg(file);
        return failure("import", where + ": " + error.message + "; nothing was imported");
    }
    std::printf("%s", kDone);
    return 0;
}

int runExport(const Args& args) {
    Options options;
    std::string message;
    if (!parseOptions(args, "y regedit4", false, options, message))
        return usageError("export", message);
    if (options.positional.size() != 2)
        return usageError("export", options.positional.size() < 2
                                        ? "a KEY and a FILE are needed"
                                        : "unexpected argument '" + options.positional[2] + "'");
    KeyName name;
    if (!parseKey(options.positional[0], name, message)) return usageError("export", message);
    const std::string& file = options.positional[1];
    const registry::KeyId key = registry::find(name.hive, name.path);
    if (key == registry::kNoKey)
        return failure("export", "the key '" + name.display() + "' does not exist");
    if (!options.overwrite && fileExists(file))
        return failure("export", "'" + fromArg(file) + "' exists; pass /y to replace it");
    const std::string bytes = regfile::exportKey(key, options.regedit4 ? regfile::Format::Regedit4
                                                                       : regfile::Format::Unicode5);
    if (!writeFile(file, bytes)) return failure("export", "cannot write '" + fromArg(file) + "'");
    std::printf("%s", kDone);
    return 0;
}

} // namespace

int runReg(const Args& args) {
    if (args.empty()) {
        std::fprintf(stderr, "%s", kRegUsage);
        return 2;
    }
    if (wantsHelp(args)) {
        std::printf("%s", kRegUsage);
        return 0;
    }
    const std::string sub = AnsiLowerCase(args[0]);
    const Args rest(args.begin() + 1, args.end());
    if (sub == "query") return runQuery(rest);
    if (sub == "add") return runAdd(rest);
    if (sub == "delete") return runDelete(rest);
    if (sub == "import") return runImport(rest);
    if (sub == "export") return runExport(rest);
    std::fprintf(stderr, "skplatform reg: unknown operation '%s'\n", args[0].c_str());
    std::fprintf(stderr, "%s", kRegUsage);
    return 2;
}

} // namespace skplatform
