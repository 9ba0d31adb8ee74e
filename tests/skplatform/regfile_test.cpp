#include "registry_dump.h"

#include "platform/regfile.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "support/caller_trace.h"
#include "support/platform_fixture.h"

#include <utility>

using namespace platform;
using skplatform_test::dumpRegistry;
using skplatform_test::utf16File;
using testing_support::PlatformTest;

namespace {

constexpr registry::KeyId kHKCU = 2;

registry::Value valueAt(const std::string& path, const std::string& name) {
    registry::Value value;
    value.type = 0xDEAD;
    const registry::KeyId key = registry::find(kHKCU, path);
    if (key != registry::kNoKey) registry::getValue(key, name, value);
    return value;
}

std::string sz(const std::string& text) {
    return text + std::string(1, '\0');
}

// The same values in both formats; only hex(2)/hex(7) bytes differ (ANSI against UTF-16).
const char* const kValues4 = "REGEDIT4\r\n"
                             "\r\n"
                             "; typed by hand\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Demo]\r\n"
                             "@=\"default text\"\r\n"
                             "\"Quoted\"=\"say \\\"hi\\\" to C:\\\\Temp\\\\\"\r\n"
                             "\"Number\"=dword:0000002a\r\n"
                             "\"Bytes\"=hex:de,ad,\\\r\n"
                             "  be,ef\r\n"
                             "\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"
                             "\"Multi\"=hex(7):61,00,62,63,00,00\r\n"
                             "\"Empty\"=hex:\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Demo\\Child]\r\n";

const char* const kValues5 = "Windows Registry Editor Version 5.00\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\Software\\Demo]\n"
                             "@=\"default text\"\n"
                             "\"Quoted\"=\"say \\\"hi\\\" to C:\\\\Temp\\\\\"\n"
                             "\"Number\"=dword:0000002A\n"
                             "\"Bytes\"=hex:de,ad,be,ef\n"
                             "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\n"
                             "\"Multi\"=hex(7):61,00,00,00,62,00,63,00,00,00,00,00\n"
                             "\"Empty\"=hex:\n"
                             "[HKEY_CURRENT_USER\\Software\\Demo\\Child]\n";

void expectDemoValues(const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string key = "Software\\Demo";
    EXPECT_EQ(sz("default text"), valueAt(key, "").data);
    EXPECT_EQ(REG_SZ, valueAt(key, "").type);
    EXPECT_EQ(sz("say \"hi\" to C:\\Temp\\"), valueAt(key, "Quoted").data);
    EXPECT_EQ(REG_DWORD, valueAt(key, "Number").type);
    EXPECT_EQ(std::string("\x2a\0\0\0", 4), valueAt(key, "Number").data);
    EXPECT_EQ(REG_BINARY, valueAt(key, "Bytes").type);
    EXPECT_EQ("\xde\xad\xbe\xef", valueAt(key, "Bytes").data);
    EXPECT_EQ(REG_EXPAND_SZ, valueAt(key, "Expand").type);
    EXPECT_EQ(sz("%TEMP%"), valueAt(key, "Expand").data);
    EXPECT_EQ(REG_MULTI_SZ, valueAt(key, "Multi").type);
    EXPECT_EQ(std::string("a\0bc\0\0", 6), valueAt(key, "Multi").data);
    EXPECT_EQ(REG_BINARY, valueAt(key, "Empty").type);
    EXPECT_EQ("", valueAt(key, "Empty").data);
    EXPECT_NE(registry::kNoKey, registry::find(kHKCU, "Software\\Demo\\Child"));
}

} // namespace

using RegFileTest = testing_support::PlatformTest;

TEST_F(RegFileTest, ImportReadsEveryValueKindOfBothFormats) {
    regfile::Error error;
    ASSERT_TRUE(regfile::importFile(kValues4, error)) << error.line << ": " << error.message;
    expectDemoValues();

    registry::removeTree(registry::find(kHKCU, "Software\\Demo"));
    ASSERT_TRUE(regfile::importFile(utf16File(kValues5), error))
        << error.line << ": " << error.message;
    expectDemoValues();
}

TEST_F(RegFileTest, ImportDeletesKeysAndValues) {
    const registry::KeyId gone = registry::create(kHKCU, "Software\\Gone\\Deep\\Deeper");
    registry::setValue(gone, "x", REG_SZ, sz("x"));
    const registry::KeyId kept = registry::create(kHKCU, "Software\\Kept");
    registry::setValue(kept, "", REG_SZ, sz("default"));
    registry::setValue(kept, "drop", REG_SZ, sz("1"));
    registry::setValue(kept, "stay", REG_SZ, sz("2"));

    regfile::Error error;
    ASSERT_TRUE(regfile::importFile("REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Gone]\n"
                                    "[-HKEY_CURRENT_USER\\Software\\NeverWasThere]\n"
                                    "[HKEY_CURRENT_USER\\Software\\Kept]\n"
                                    "\"DROP\"=-\n@=-\n\"missing\"=-\n",
                                    error))
        << error.message;
    EXPECT_EQ(registry::kNoKey, registry::find(kHKCU, "Software\\Gone"));
    registry::Value value;
    EXPECT_FALSE(registry::getValue(kept, "drop", value));
    EXPECT_FALSE(registry::getValue(kept, "", value));
    EXPECT_TRUE(registry::getValue(kept, "stay", value));
}

TEST_F(RegFileTest, MalformedFilesNameTheLineAndImportNothing) {
    registry::setValue(registry::create(kHKCU, "Software\\Before"), "v", REG_SZ, sz("old"));
    const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=\"new\"\n"
                             "[HKEY_CURRENT_USER\\Software\\Added]\n";
    const std::pair<std::string, int> cases[] = {
        {head + "[HKEY_NOWHERE\\Software]\n", 6},
        {head + "[HKCU\\Software\\Short]\n", 6},
        {head + "\"n\"=dword:12345678x\n", 6},
        {head + "\"n\"=dword:123456789\n", 6},
        {head + "\"n\"=hex:01,2g\n", 6},
        {head + "\"n\"=hex:01,,02\n", 6},
        {head + "\"n\"=hex:123\n", 6},
        {head + "\"n\"=hex(zz):01\n", 6},
        {head + "\"n\" \"x\"\n", 6},
        {head + "\"n=\"x\"\n", 6},
        {head + "\"n\"=\"unterminated\n", 6},
        {head + "\"n\"=\"bad \\q escape\"\n", 6},
        {head + "\"n\"=\"x\" trailing\n", 6},
        {head + "\"n\"=text\n", 6},
        {head + "just words\n", 6},
        {head + "[HKEY_CURRENT_USER\\Software\\Open\n", 6},
        {head + "[-HKEY_CURRENT_USER]\n", 6},
        {head + "[HKEY_CURRENT_USER\\A\\\\B]\n", 6},
        {head + "[-HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=\"x\"\n", 7},
        {head + "\"n\"=hex:01,\\\n  02,\\\n", 6},
        {"REGEDIT4\n\"v\"=\"no key yet\"\n", 2},
        {"\n\nREGEDIT5\n[HKEY_CURRENT_USER\\Software\\Added]\n", 3},
    };
    const auto before = dumpRegistry();
    for (const auto& [text, line] : cases) {
        SCOPED_TRACE(text);
        std::vector<regfile::Operation> ops;
        regfile::Error error;
        EXPECT_FALSE(regfile::parse(text, ops, error));
        EXPECT_EQ(line, error.line);
        EXPECT_FALSE(error.message.empty());
        EXPECT_TRUE(ops.empty());
        EXPECT_FALSE(regfile::importFile(text, error));
        EXPECT_EQ(before, dumpRegistry());
    }
}

TEST_F(RegFileTest, MalformedUnicodeFilesAreRefusedWhole) {
    regfile::Error error;
    EXPECT_FALSE(regfile::importFile("", error));
    EXPECT_FALSE(
        regfile::importFile(utf16File("Windows Registry Editor Version 5.00\n") + "x", error));
    EXPECT_EQ(0, error.line);
    // A Unicode string value cannot have an odd number of bytes.
    EXPECT_FALSE(regfile::importFile(utf16File("Windows Registry Editor Version 5.00\n"
                                               "[HKEY_CURRENT_USER\\Software\\U]\n"
                                               "\"e\"=hex(2):41,00,42\n"),
                                     error));
    EXPECT_EQ(3, error.line);
    EXPECT_EQ(registry::kNoKey, registry::find(kHKCU, "Software\\U"));
}

TEST_F(RegFileTest, ExportWritesTheRegistryEditorLayout) {
    const registry::KeyId key = registry::create(kHKCU, "Software\\Layout");
    registry::setValue(key, "", REG_SZ, sz("top"));
    registry::setValue(key, "Path", REG_EXPAND_SZ, sz("%A%"));
    registry::setValue(key, "Blob", REG_BINARY, std::string(40, '\x11'));
    registry::create(key, "Sub");

    const std::string ansi = regfile::exportKey(key, regfile::Format::Regedit4);
    EXPECT_EQ(0u, ansi.find("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Layout]\r\n"
                            "@=\"top\"\r\n\"Path\"=hex(2):25,41,25,00\r\n\"Blob\"=hex:11,"));
    EXPECT_NE(std::string::npos, ansi.find("\r\n\r\n[HKEY_CURRENT_USER\\Software\\Layout\\Sub]"));
    // Long hex data is broken before 80 columns with a trailing backslash.
    std::size_t start = 0;
    int continued = 0;
    while (start < ansi.size()) {
        const std::size_t end = ansi.find("\r\n", start);
        const std::string line = ansi.substr(start, end - start);
        EXPECT_LE(line.size(), 80u) << line;
        continued += !line.empty() && line.back() == '\\';
        start = end + 2;
    }
    EXPECT_GT(continued, 0);

    const std::string unicode = regfile::exportKey(key, regfile::Format::Unicode5);
    EXPECT_EQ(0u, unicode.find(utf16File("Windows Registry Editor Version 5.00\r\n\r\n")));
    EXPECT_NE(std::string::npos,
              unicode.find(utf16File("\"Path\"=hex(2):25,00,41,00,25,00,00,00").substr(2)));
}

TEST_F(RegFileTest, ExportThenImportIntoAFreshRootReproducesTheRegistry) {
    const registry::KeyId odd = registry::create(kHKCU, "Software\\R\xFC\x63k \"weg\"\\Unter");
    registry::setValue(odd, "", REG_SZ, sz("Stra\xDF\x65"));
    registry::setValue(odd, "back\\slash \"q\"", REG_SZ, sz("C:\\x\\"));
    registry::setValue(odd, "lines", REG_SZ, sz("one\r\ntwo"));
    registry::setValue(odd, "no terminator", REG_SZ, "raw");
    registry::setValue(odd, "inner nul", REG_SZ, std::string("a\0b\0", 4));
    registry::setValue(odd, "empty", REG_SZ, sz(""));
    registry::setValue(odd, "short dword", REG_DWORD, "\x01\x02");
    registry::setValue(odd, "dword", REG_DWORD, std::string("\xff\0\0\x80", 4));
    registry::setValue(odd, "qword", 11, std::string("\1\2\3\4\5\6\7\x08", 8));
    registry::setValue(odd, "multi \xE4", REG_MULTI_SZ, std::string("\xE4\0\x80\0\0", 5));
    registry::setValue(odd, "expand", REG_EXPAND_SZ, sz("%USERPROFILE%\\\x81"));
    std::string blob;
    for (int i = 0; i < 300; ++i)
        blob.push_back(static_cast<char>(i));
    registry::setValue(odd, "blob", REG_BINARY, blob);
    registry::setValue(registry::create(3, "Software\\Machine"), "m", REG_SZ, sz("lm"));
    registry::create(1, ".demo\\Empty");
    const auto original = dumpRegistry();

    for (auto format : {regfile::Format::Regedit4, regfile::Format::Unicode5}) {
        const std::string file = regfile::exportKeys({1, 2, 3}, format);
        static int n = 0;
        useRoot(HostPath(platform.root() + "-copy" + std::to_string(++n)));
        regfile::Error error;
        ASSERT_TRUE(regfile::importFile(file, error)) << error.line << ": " << error.message;
        EXPECT_EQ(original, dumpRegistry());
        useRoot(HostPath(platform.root()));
    }
}
