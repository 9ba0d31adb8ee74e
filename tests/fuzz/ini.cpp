// INI files as the profile calls read them: the section list, each section's keys and each
// value, into a buffer exactly as large as the input's first two bytes say.
#include "fuzz_support.h"

#include "platform/inifile.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

// The names of a zero-separated list that ends with a second zero.
std::vector<std::string> namesOf(const char* list, DWORD length) {
    std::vector<std::string> names;
    for (DWORD at = 0; at < length;) {
        const std::string name(list + at);
        names.push_back(name);
        at += static_cast<DWORD>(name.size()) + 1;
    }
    return names;
}

// One call into a buffer of `size` bytes on the heap, so that a write past it is caught; the
// answer's promises checked.
DWORD call(const std::string& bytes, const char* section, const char* key, DWORD size,
           std::string& text) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), 0x55, size);
    const DWORD length =
        platform::ini::profileString(bytes, section, key, "default ", buffer.get(), size);
    FUZZ_CHECK(length < size);
    FUZZ_CHECK(buffer[length] == '\0');
    if (section == nullptr || key == nullptr) {
        // A list ends with two zeros: the last name's and one more, or two after a list cut
        // to the buffer.
        if (length > 0)
            FUZZ_CHECK(buffer[length - 1] == '\0' ||
                       (length == size - 2 && buffer[length + 1] == '\0'));
    }
    text.assign(buffer.get(), length);
    return length;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const DWORD small = 1 + (data[0] | data[1] << 8) % 300;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    // Room for any list or value of the file: its names with their zeros.
    const DWORD large = static_cast<DWORD>(2 * bytes.size() + 16);

    std::string list;
    const DWORD length = call(bytes, nullptr, nullptr, large, list);
    std::string cut;
    call(bytes, nullptr, nullptr, small, cut);
    FUZZ_CHECK(list.compare(0, cut.size(), cut) == 0);

    int calls = 0;
    for (const std::string& section : namesOf(list.data(), length)) {
        std::string keys;
        const DWORD keysLength = call(bytes, section.c_str(), nullptr, large, keys);
        for (const std::string& key : namesOf(keys.data(), keysLength)) {
            // Every call reads the whole file again, as the profile calls do: a few dozen
            // keep the target quick.
            if (++calls > 32) return 0;
            std::string value;
            call(bytes, section.c_str(), key.c_str(), large, value);
            std::string shorter;
            call(bytes, section.c_str(), key.c_str(), small, shorter);
            FUZZ_CHECK(value.compare(0, shorter.size(), shorter) == 0);
        }
    }
    // A section that no file can hold (names lose their leading blanks) gives the default
    // without its trailing blank.
    std::string missing;
    call(bytes, " missing", "key", large, missing);
    FUZZ_CHECK(missing == "default");
    return 0;
}
