// Broken link files: every one fails to load with an HRESULT and leaves the object as it
// was; nothing is read outside the file (run under valgrind or a sanitizer to see that).
#include "shell_support.h"

#include <functional>
#include <random>

using namespace conformance;
using namespace shell_test;

namespace {

const char* const kPath = "C:\\Users\\User\\Desktop\\probe.lnk";
const char16_t* const kWidePath = u"C:\\Users\\User\\Desktop\\probe.lnk";

void put16(std::string& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
unsigned get16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t get32(const std::string& b, std::size_t at) {
    return get16(b, at) | static_cast<std::uint32_t>(get16(b, at + 2)) << 16;
}

class ShellLinkLoadTest : public ShellTestBase {
  protected:
    void SetUp() override {
        ShellTestBase::SetUp();
        fileAt("C:\\Windows\\notepad.exe", "MZ");
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, link.out()));
        ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, persist.out()));
        ASSERT_EQ(S_OK, link->SetPath("C:\\Windows\\notepad.exe"));
        ASSERT_EQ(S_OK, link->SetDescription("Notizen"));
        ASSERT_EQ(S_OK, link->SetArguments("/p brief.txt"));
        ASSERT_EQ(S_OK, link->SetWorkingDirectory("C:\\Windows"));
        ASSERT_EQ(S_OK, link->SetIconLocation("C:\\Windows\\notepad.exe", 1));
        ASSERT_EQ(S_OK, persist->Save(kWidePath, TRUE));
        good = testing_support::readHostFile(platform.hostPath(kPath));
        ASSERT_EQ(S_OK, persist->Load(kWidePath, STGM_READ));
        linkInfo = 78 + get16(good, 76);
        strings = linkInfo + get32(good, linkInfo);
    }
    void TearDown() override {
        persist.reset();
        link.reset();
        ShellTestBase::TearDown();
    }

    // Loads the bytes as a link file; the object must keep the link it held before.
    HRESULT load(const std::string& bytes) {
        testing_support::writeHostFile(platform.hostPath(kPath), bytes);
        const HRESULT hr = persist->Load(kWidePath, STGM_READ);
        if (FAILED(hr)) {
            char path[MAX_PATH];
            EXPECT_EQ(S_OK, link->GetPath(path, sizeof path, nullptr, 0));
            EXPECT_STREQ("C:\\Windows\\notepad.exe", path) << "a failed load changed the link";
        }
        return hr;
    }

    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    std::string good;
    std::size_t linkInfo = 0; // where the link information starts
    std::size_t strings = 0;  // where the string data starts
};

} // namespace

TEST_F(ShellLinkLoadTest, EveryTruncationFails) {
    ASSERT_EQ(S_OK, load(good));
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_TRUE(FAILED(load(good.substr(0, length)))) << "cut to " << length << " bytes";
    // Whatever follows the terminal block is not the link's business.
    EXPECT_EQ(S_OK, load(good + "trailing bytes"));
}

TEST_F(ShellLinkLoadTest, MalformedStructuresFail) {
    using Mutation = std::function<void(std::string&)>;
    const std::size_t li = linkInfo;
    const std::size_t end = good.size();
    const std::vector<std::pair<const char*, Mutation>> cases = {
        {"header size", [](std::string& b) { put32(b, 0, 0x4D); }},
        {"class identifier", [](std::string& b) { b[19] = 0x47; }},
        {"list size beyond the file", [](std::string& b) { put16(b, 76, 0xFFFF); }},
        {"list size too small", [](std::string& b) { put16(b, 76, 1); }},
        {"item of size one", [](std::string& b) { put16(b, 78, 1); }},
        {"item across the list's end", [&](std::string& b) { put16(b, 78, get16(b, 76)); }},
        {"list without terminator", [&](std::string& b) { put16(b, li - 2, 0x0101); }},
        {"link information too small", [&](std::string& b) { put32(b, li, 0x10); }},
        {"link information beyond the file", [&](std::string& b) { put32(b, li, 0x7FFFFFFF); }},
        {"link information header size", [&](std::string& b) { put32(b, li + 4, 0x20); }},
        {"unicode header as large as the block",
         [&](std::string& b) { put32(b, li + 4, get32(b, li)); }},
        {"volume outside", [&](std::string& b) { put32(b, li + 12, 0x10000); }},
        {"volume size", [&](std::string& b) { put32(b, li + get32(b, li + 12), 0x10); }},
        {"volume larger than the block",
         [&](std::string& b) { put32(b, li + get32(b, li + 12), 0x1000); }},
        {"local path outside", [&](std::string& b) { put32(b, li + 16, get32(b, li)); }},
        {"local path without its zero",
         [&](std::string& b) {
             for (std::size_t i = li + get32(b, li + 16); i < li + get32(b, li); ++i)
                 b[i] = 'A';
         }},
        {"suffix offset zero", [&](std::string& b) { put32(b, li + 24, 0); }},
        {"network part without offset", [&](std::string& b) { put32(b, li + 8, 3); }},
        {"string longer than the file", [&](std::string& b) { put16(b, strings, 0xFFFF); }},
        {"extra block of five bytes", [&](std::string& b) { put32(b, end - 4, 5); }},
        {"extra block beyond the file",
         [&](std::string& b) {
             put32(b, end - 4, 0x100);
             b += std::string(8, '\0');
         }},
        {"environment block of the wrong size",
         [&](std::string& b) {
             put32(b, end - 4, 0x20);
             b +=
                 std::string("\x01\x00\x00\xA0", 4) + std::string(0x18, 'x') + std::string(4, '\0');
         }},
        {"environment block without any zero",
         [&](std::string& b) {
             put32(b, end - 4, 0x314);
             b += std::string("\x01\x00\x00\xA0", 4) + std::string(0x30C, 'x') +
                  std::string(4, '\0');
         }},
        {"too large to be a link", [](std::string& b) { b += std::string(1 << 20, '\0'); }},
    };
    ASSERT_GE(cases.size(), 20u);
    for (const auto& [name, mutate] : cases) {
        std::string bytes = good;
        mutate(bytes);
        EXPECT_EQ(E_FAIL, load(bytes)) << name;
    }
    // Not a file at all.
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              persist->Load(u"C:\\Users\\User\\Desktop\\none.lnk", STGM_READ));
    ASSERT_TRUE(CreateDirectoryA("C:\\Users\\User\\Desktop\\folder.lnk", nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
              persist->Load(u"C:\\Users\\User\\Desktop\\folder.lnk", STGM_READ));
    EXPECT_EQ(E_INVALIDARG, persist->Load(nullptr, STGM_READ));
}

TEST_F(ShellLinkLoadTest, RandomDamageNeverBreaksTheReader) {
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int round = 0; round < 600; ++round) {
        SCOPED_TRACE(round);
        std::string bytes = good;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i) {
            const std::size_t at = random() % bytes.size();
            if (random() % 3 == 0 && at + 4 <= bytes.size())
                put32(bytes, at, static_cast<std::uint32_t>(random()));
            else
                bytes[at] = static_cast<char>(random());
        }
        if (SUCCEEDED(load(bytes))) {
            ++loaded;
            // What loaded can be read back in full.
            char text[INFOTIPSIZE];
            int index = 0;
            EXPECT_TRUE(SUCCEEDED(link->GetPath(text, sizeof text, nullptr, 0)));
            EXPECT_EQ(S_OK, link->GetDescription(text, sizeof text));
            EXPECT_EQ(S_OK, link->GetIconLocation(text, sizeof text, &index));
            List target;
            EXPECT_TRUE(SUCCEEDED(link->GetIDList(target.out())));
            EXPECT_EQ(S_OK, link->SetPath("C:\\Windows\\notepad.exe"));
        }
    }
    // Some damage (inside texts and times) leaves a readable link; most does not.
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 600);
}
