// The registry editor's .reg files, imported and exported by the machine's own editor, and
// what they leave in the registry as the registry calls read it.
#include "conformance.h"
#include "registry_support.h"
#include "support/caller_trace.h"
#include "support/reg_files.h"

#include <algorithm>

using namespace conformance;
using registry_test::queryBytes;
using testing_support::exportRegKey;
using testing_support::importRegFile;

namespace {

using RegFileTest = testing_support::PlatformTest;

constexpr const char* kDemo = "Software\\Kravonel\\Demo";
constexpr const char* kDemoPath = "HKEY_CURRENT_USER\\Software\\Kravonel\\Demo";

// An ASCII text as the bytes of a UTF-16LE file with its byte order mark.
std::string utf16File(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

std::string sz(const std::string& text) {
    return text + std::string(1, '\0');
}

struct Value {
    DWORD type = 0xDEAD;
    std::string data = "<missing>";
};

Value valueAt(const std::string& path, const char* name) {
    Value value;
    Key key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return value;
    value.data = queryBytes(key.get(), name, value.type);
    return value;
}

bool keyExists(const std::string& path) {
    Key key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

// One line per key ("[path]") and per value ("path|name|type|hex"), keys and values sorted by
// name: a registry may enumerate in any order.
void dumpKey(HKEY parent, const std::string& path, std::vector<std::string>& lines) {
    Key key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        lines.push_back("<cannot open " + path + ">");
        return;
    }
    lines.push_back("[" + path + "]");
    std::vector<std::string> values;
    static const char digits[] = "0123456789abcdef";
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[2048];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        std::string hex;
        for (DWORD i = 0; i < dataSize; ++i) {
            hex.push_back(digits[data[i] >> 4]);
            hex.push_back(digits[data[i] & 15]);
        }
        values.push_back(path + "|" + name + "|" + std::to_string(type) + "|" + hex);
    }
    std::sort(values.begin(), values.end());
    lines.insert(lines.end(), values.begin(), values.end());
    std::vector<std::string> children;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(name, nameSize);
    }
    std::sort(children.begin(), children.end());
    for (const auto& child : children)
        dumpKey(parent, path + "\\" + child, lines);
}

std::vector<std::string> dump(const std::string& path) {
    std::vector<std::string> lines;
    dumpKey(HKEY_CURRENT_USER, path, lines);
    return lines;
}

// The same values in both formats; only hex(2)/hex(7) bytes differ (ANSI against UTF-16).
const char* const kValues4 = "REGEDIT4\r\n"
                             "\r\n"
                             "; typed by hand\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Kravonel\\Demo]\r\n"
                             "@=\"default text\"\r\n"
                             "\"Quoted\"=\"say \\\"hi\\\" to C:\\\\Temp\\\\\"\r\n"
                             "\"Number\"=dword:0000002a\r\n"
                             "\"Bytes\"=hex:de,ad,\\\r\n"
                             "  be,ef\r\n"
                             "\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"
                             "\"Multi\"=hex(7):61,00,62,63,00,00\r\n"
                             "\"Empty\"=hex:\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Kravonel\\Demo\\Child]\r\n";

const char* const kValues5 = "Windows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Kravonel\\Demo]\r\n"
                             "@=\"default text\"\r\n"
                             "\"Quoted\"=\"say \\\"hi\\\" to C:\\\\Temp\\\\\"\r\n"
                             "\"Number\"=dword:0000002A\r\n"
                             "\"Bytes\"=hex:de,ad,be,ef\r\n"
                             "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
                             "\"Multi\"=hex(7):61,00,00,00,62,00,63,00,00,00,00,00\r\n"
                             "\"Empty\"=hex:\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Kravonel\\Demo\\Child]\r\n";

void expectDemoValues(const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    EXPECT_EQ(sz("default text"), valueAt(kDemo, "").data);
    EXPECT_EQ(REG_SZ, valueAt(kDemo, "").type);
    EXPECT_EQ(sz("say \"hi\" to C:\\Temp\\"), valueAt(kDemo, "Quoted").data);
    EXPECT_EQ(REG_DWORD, valueAt(kDemo, "Number").type);
    EXPECT_EQ(std::string("\x2a\0\0\0", 4), valueAt(kDemo, "Number").data);
    EXPECT_EQ(REG_BINARY, valueAt(kDemo, "Bytes").type);
    EXPECT_EQ("\xde\xad\xbe\xef", valueAt(kDemo, "Bytes").data);
    EXPECT_EQ(REG_EXPAND_SZ, valueAt(kDemo, "Expand").type);
    EXPECT_EQ(sz("%TEMP%"), valueAt(kDemo, "Expand").data);
    EXPECT_EQ(REG_MULTI_SZ, valueAt(kDemo, "Multi").type);
    EXPECT_EQ(std::string("a\0bc\0\0", 6), valueAt(kDemo, "Multi").data);
    EXPECT_EQ(REG_BINARY, valueAt(kDemo, "Empty").type);
    EXPECT_EQ("", valueAt(kDemo, "Empty").data);
    EXPECT_TRUE(keyExists(std::string(kDemo) + "\\Child"));
}

} // namespace

TEST_F(RegFileTest, ImportReadsEveryValueKindOfBothFormats) {
    ASSERT_TRUE(importRegFile(kValues4));
    expectDemoValues();

    ASSERT_TRUE(importRegFile(std::string("REGEDIT4\r\n\r\n[-") + kDemoPath + "]\r\n"));
    EXPECT_FALSE(keyExists(kDemo));
    ASSERT_TRUE(importRegFile(utf16File(kValues5)));
    expectDemoValues();
}

TEST_F(RegFileTest, ImportDeletesKeysAndValues) {
    ASSERT_TRUE(importRegFile("REGEDIT4\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Kravonel\\Gone\\Deep\\Deeper]\r\n"
                              "\"x\"=\"x\"\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Kravonel\\Kept]\r\n"
                              "@=\"default\"\r\n"
                              "\"drop\"=\"1\"\r\n"
                              "\"stay\"=\"2\"\r\n"));
    ASSERT_TRUE(keyExists("Software\\Kravonel\\Gone\\Deep\\Deeper"));
    ASSERT_EQ(sz("1"), valueAt("Software\\Kravonel\\Kept", "drop").data);

    ASSERT_TRUE(importRegFile("REGEDIT4\r\n\r\n"
                              "[-HKEY_CURRENT_USER\\Software\\Kravonel\\Gone]\r\n"
                              "[-HKEY_CURRENT_USER\\Software\\Kravonel\\NeverWasThere]\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Kravonel\\Kept]\r\n"
                              "\"DROP\"=-\r\n"
                              "@=-\r\n"
                              "\"missing\"=-\r\n"));
    EXPECT_FALSE(keyExists("Software\\Kravonel\\Gone"));
    EXPECT_EQ("<missing>", valueAt("Software\\Kravonel\\Kept", "drop").data);
    EXPECT_EQ("<missing>", valueAt("Software\\Kravonel\\Kept", "").data);
    EXPECT_EQ(sz("2"), valueAt("Software\\Kravonel\\Kept", "stay").data);
}

TEST_F(RegFileTest, ExportWritesTheRegistryEditorLayout) {
    ASSERT_TRUE(importRegFile("REGEDIT4\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Kravonel\\Layout]\r\n"
                              "@=\"top\"\r\n"
                              "\"Path\"=hex(2):25,41,25,00\r\n"
                              "\"Blob\"=hex:" +
                              [] {
                                  std::string bytes = "11";
                                  for (int i = 1; i < 40; ++i)
                                      bytes += ",11";
                                  return bytes;
                              }() +
                              "\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Kravonel\\Layout\\Sub]\r\n"));
    const std::string file = exportRegKey("HKEY_CURRENT_USER\\Software\\Kravonel\\Layout");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(0u, file.find(utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Kravonel\\Layout]\r\n")));
    for (const char* line : {"\r\n@=\"top\"\r\n", "\r\n\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n",
                             "\r\n\"Blob\"=hex:11,11,",
                             "\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kravonel\\Layout\\Sub]\r\n"})
        EXPECT_NE(std::string::npos, file.find(utf16File(line).substr(2))) << line;

    // Long hex data is broken before 80 columns with a trailing backslash.
    std::string text;
    for (std::size_t i = 2; i + 1 < file.size(); i += 2)
        text.push_back(file[i]);
    std::size_t start = 0;
    int continued = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 80u) << line;
        continued += !line.empty() && line.back() == '\\';
        start = end + 2;
    }
    EXPECT_GT(continued, 0);
}

TEST_F(RegFileTest, ExportThenImportReproducesTheKey) {
    const std::string root = std::string(kDemo) + "\\R\xFC\x63k \"weg\"";
    Key odd;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, (root + "\\Unter").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, odd.out(), nullptr));
    const auto set = [&](const char* name, DWORD type, const std::string& data) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(odd.get(), name, 0, type,
                                                reinterpret_cast<const BYTE*>(data.data()),
                                                static_cast<DWORD>(data.size())));
    };
    set("", REG_SZ, sz("Stra\xDF\x65"));
    set("back\\slash \"q\"", REG_SZ, sz("C:\\x\\"));
    set("empty", REG_SZ, sz(""));
    set("dword", REG_DWORD, std::string("\xff\0\0\x80", 4));
    set("qword", 11, std::string("\1\2\3\4\5\6\7\x08", 8));
    set("multi \xE4", REG_MULTI_SZ, std::string("\xE4\0\x80\0\0", 5));
    set("expand", REG_EXPAND_SZ, sz("%USERPROFILE%\\\xE9"));
    std::string blob;
    for (int i = 0; i < 300; ++i)
        blob.push_back(static_cast<char>(i));
    set("blob", REG_BINARY, blob);
    const auto original = dump(kDemo);

    const std::string file = exportRegKey(kDemoPath);
    ASSERT_FALSE(file.empty());
    ASSERT_TRUE(importRegFile(std::string("REGEDIT4\r\n\r\n[-") + kDemoPath + "]\r\n"));
    ASSERT_FALSE(keyExists(kDemo));
    ASSERT_TRUE(importRegFile(file));
    EXPECT_EQ(original, dump(kDemo));
}
