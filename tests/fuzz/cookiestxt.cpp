// Netscape-format cookies.txt, cleaned around the keep-list: the preview and the cleaning
// count alike, the kept sites' lines and every line that is no cookie stay byte for byte, and
// a second cleaning finds nothing more to remove.
#include "fuzz_support.h"

#include "cache/KeepCookies.h"
#include "otherbrowsers/KeptCookieFiles.h"

#include <string>
#include <vector>

namespace {

std::string contentsOf(const std::string& path) {
    std::string data;
    return ReadWholeFile(path, data) ? data : std::string("<unreadable>");
}

// The lines of a text, each with its line end.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// Whether `part` is `whole` with some lines left out, the others in their order.
bool keepsLinesOf(const std::string& whole, const std::string& part) {
    const std::vector<std::string> all = linesOf(whole);
    std::size_t at = 0;
    for (const std::string& line : linesOf(part)) {
        while (at < all.size() && all[at] != line)
            ++at;
        if (at == all.size()) return false;
        ++at;
    }
    return true;
}

const TKeepCookies& keepList() {
    static const TKeepCookies keep = [] {
        fuzzing::scratchFolder(); // the machine first
        TKeepCookies list;
        FUZZ_CHECK(list.Add("kept.example") == ERROR_SUCCESS);
        FUZZ_CHECK(list.Add("Stays.Example.org") == ERROR_SUCCESS);
        return list;
    }();
    return keep;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TKeepCookies& keep = keepList();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzing::writeInput("cookies.txt", data, size);

    const CleaningResult preview = CleanCookiesTxt(path, keep, CleaningMode::Preview);
    FUZZ_CHECK(contentsOf(path) == input);
    FUZZ_CHECK(preview.notRemoved == 0 && preview.notes.empty());
    FUZZ_CHECK(preview.removedBytes <= size);

    const CleaningResult cleaned = CleanCookiesTxt(path, keep, CleaningMode::Remove);
    FUZZ_CHECK(cleaned.notRemoved == 0);
    FUZZ_CHECK(cleaned.removed == preview.removed && cleaned.kept == preview.kept &&
               cleaned.removedBytes == preview.removedBytes);
    const bool gone = GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    // The file goes exactly when no kept site's line was in it.
    FUZZ_CHECK(gone == (preview.kept == 0));
    if (gone) return 0;
    const std::string left = contentsOf(path);
    FUZZ_CHECK(left.size() + cleaned.removedBytes == size);
    FUZZ_CHECK(keepsLinesOf(input, left));
    // Nothing of another site is left to remove; the kept lines are all still there.
    const CleaningResult again = CleanCookiesTxt(path, keep, CleaningMode::Preview);
    FUZZ_CHECK(again.removed == 0 && again.kept == preview.kept);
    return 0;
}
