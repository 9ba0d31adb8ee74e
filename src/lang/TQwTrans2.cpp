#include "lang/TQwTrans2.h"

#include "platform/win32.h"
#include "ui/MyTricks.h"

#include <climits>
#include <memory>
#include <set>

namespace {

constexpr char kEndOfFile = '\x1A';
constexpr int kEndMarker = 10000;

std::unique_ptr<QwTrans2>& engine() {
    static std::unique_ptr<QwTrans2> instance;
    return instance;
}

// The English wording of the texts that older language files lack, by number.
struct BuiltIn {
    int number;
    const char* text;
};
constexpr BuiltIn kBuiltInTexts[] = {
    {300, "Only Internet shortcuts can be edited. This link is another kind of file."},
    {301, "Do you really want to delete this link?"},
    {302, "The link could not be deleted: it is write-protected, in use or no longer there."},
    {304, "Cookies"},
    {305, "Cache"},
    {306, "History"},
    {307, "Run list and recent documents"},
    {308, "Typed addresses"},
    {309, "Start-up shortcuts"},
    {310, "%1 entries removed"},
    {311, "%1 not removed"},
    {312, "in use"},
    {313, "access denied"},
    {314, "not found"},
    {315, "%1 kept"},
    {316, "Everything was removed."},
    {317, "Surfkolibri could not remove everything:"},
    {318, "Last automatic cleaning: %1 \x96 %2 entries removed"},
    {319, "Last automatic cleaning: %1 \x96 %2 entries removed, %3 not removed"},
    {320, "Show the reports"},
    {321, "What would be removed now?"},
    {322, "Reports of the automatic cleaning"},
    {323, "No automatic cleaning has been recorded yet."},
    {324, "The older report could not be read and was started afresh."},
    {325, "What the automatic cleaning would remove now"},
    {326, "%1 entries would be removed"},
    {327, "%1 would stay (in use)"},
    {328, "Options:"},
    {330, "Nothing is ticked for the automatic cleaning."},
    {331, "The last automatic cleaning could not remove everything:"},
    {332, "%1 entry removed"},
    {333, "%1 entry would be removed"},
    {340, "Keep this site's cookies"},
    {341, "Stop keeping this site's cookies"},
    {342, "Sites whose cookies are kept"},
    {343, "[kept]"},
    {344, "This cookie belongs to a site whose cookies are kept at every cleaning. Do you really "
          "want to remove it?"},
    {345, "Cookies of kept sites that stayed:"},
    {346, "Surfkolibri keeps the cookies of these sites"},
    {347, "at every cleaning (with the day each was added):"},
    {348, "Take the selected site off the list"},
    {349, "added"},
    {350, "No site is on the list yet. In the cookie manager, select a cookie and click \"Keep "
          "this site's cookies\"."},
    {351, "Taking a site off the list does not remove its cookies."},
    {363, "%1 is running: close it to clean it"},
    {364, "%1 was left as it is: %2"},
    {365, "it is not a SQLite database or it is encrypted"},
    {366, "it is damaged"},
    {367, "it is read-only"},
    {368, "it is in use"},
    {369, "its tables are not the ones expected"},
    {370, "its write-ahead log (-wal) is damaged"},
    {371, "it cannot be read"},
    {372, "it is too large"},
    {373, "it names a profile outside the browser's folder"},
    {374, "it is empty"},
    {380, "Internet Explorer's part could not be read (error %1) and stays as it is"},
    {381, "Usage: %1 [--preview] LETTERS"},
    {382, "Cleans what the automatic cleaning of Surfkolibri cleans, without a window. The "
          "letters choose the cleanings, which run in this order:"},
    {383, "the summary at the end"},
    {384, "only shows what would be removed, and removes nothing"},
    {385, "shows this help"},
    {386, "Exit status: 0 when everything was removed, 1 when something stayed, 2 for a wrong "
          "command line."},
    {387, "\"%1\" chooses no cleaning: the letters are c b h m e r (and n)"},
    {390, "Opera up to 12: "},
    {391, "Firefox 1\x96"
          "2: "},
    {392, "the cookies and history of Firefox,"},
    {393, "Chrome, Edge, Opera and others."},
    {394,
     "%1 was cleaned in part: some of its tables are not the ones expected and stay as they are"},
    {395, "the bookmarks whose icons stay could not be read"},
    {396, "Cache: cached pages and files, script and graphics caches, websites' offline caches"},
    {397, "Cookies: every cookie except those of the sites you keep"},
    {398, "History: visits, typed addresses, site icons, most visited pages, open and closed tabs, "
          "and form entries"},
    {399, "Passwords, bookmarks, settings and extensions are never touched."},
    {400, "%1 profiles"},
    {401, "1 profile"},
    {402, "None of today's browsers was found."},
    {430, "This part stopped before its end and was not cleaned completely (%1)"},
    {431, "The report of this run could not be written (error %1): the report of the earlier "
          "runs stays as it was."},
    {432, "the disk is full"},
    {433, "error %1"},
    {450, "Please choose a cookie in the list first."},
    {451, "Do you really want to remove this cookie?"},
    {452, "Do you really want to remove all listed cookies (%1)?"},
    {453, "Cookies of kept sites stay: %1"},
    {454, "Please choose a site in the list first."},
    {455, "Do you really want to take this site off the list? Its cookies stay where they are, but "
          "the next cleaning removes them."},
    {456, "Keep the cookies of this site at every cleaning:"},
    {457, "The cookie comes from %1. The site covers this name and all its other names. To keep "
          "only %1, type it in."},
    {458, "Keep"},
    {459, "Please type the cookie's site: %1 or a name that %1 ends in, such as %2."},
    {460, "Favorites"},
    {461, "Please choose a link in the list first."},
    {462, "success message"},
    {463, "\"%1\" holds letters that choose nothing: %2. The letters are c b h m e r (and n)"},
    {465, "Yes"},
    {466, "No"},
    {468, "Cancel"},
    {469, "Open"},
    {470, "Look in:"},
    {471, "File name:"},
    {472, "Files of type:"},
    {473, "Up"},
    {474, "Browse for Folder"},
    {475, "All Files"},
    {476, "Path does not exist.\nCheck the path and try again."},
    {477, "File not found.\nCheck the file name and try again."},
    {478, "My Computer"},
    {479, "Local Disk"},
};

bool isDigitIn(char c, int base, int& digit) {
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    else
        return false;
    return digit < base;
}

// The usual integer notation: leading spaces, an optional sign, decimal digits or
// hexadecimal ones after "$" or "0x". False for anything else, trailing spaces included,
// and for values beyond the integer range.
bool toInteger(const std::string& text, long long& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        int digit = 0;
        if (!isDigitIn(text[i], base, digit)) return false;
        result = result * base + digit;
        if (result > INT_MAX + 1LL) return false;
    }
    value = negative ? -result : result;
    return value <= INT_MAX;
}

bool readLanguageLines(const std::string& path, std::vector<std::string>& lines) {
    std::string contents;
    if (!FileExistsA(path) || !ReadWholeFile(path, contents)) return false;
    lines = SplitLanguageLines(contents);
    return true;
}

} // namespace

int ParseSectionMarker(const std::string& line) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') return -1;
    const std::string inner = line.substr(1, line.size() - 2);
    if (inner == "END") return kEndMarker;
    long long value = 0;
    if (!toInteger(inner, value) || value < 0) return -1;
    return static_cast<int>(value);
}

std::vector<std::string> SplitLanguageLines(const std::string& contents) {
    std::vector<std::string> lines;
    std::string line;
    bool pending = false; // characters since the last line end
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const char c = contents[i];
        if (c == kEndOfFile) break;
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
            pending = false;
            if (i + 1 < contents.size() && contents[i + 1] == '\n') ++i;
            continue;
        }
        line += c;
        pending = true;
    }
    if (pending) lines.push_back(line);
    return lines;
}

QwTrans2::QwTrans2(std::string stem) : stem_(std::move(stem)), texts_(kTextCount) {}

void QwTrans2::LoadTextFile(const std::string& path) {
    std::string contents;
    if (!FileExistsA(path) || !ReadWholeFile(path, contents)) {
        texts_.assign(kTextCount, std::string());
        return;
    }
    LoadText(contents);
}

void QwTrans2::LoadText(const std::string& contents) {
    texts_.assign(kTextCount, std::string());
    const std::vector<std::string> lines = SplitLanguageLines(contents);
    int index = 0;
    std::string text;
    bool newSection = true;
    currentLanguageName_.clear();
    for (const auto& line : lines) {
        const int marker = ParseSectionMarker(line);
        if (marker < 0) {
            // Appended in place: a section of many lines loads in time linear in its size.
            if (!newSection) text += '\r';
            text += line;
            newSection = false;
            continue;
        }
        // A section numbered beyond the table cannot be stored; the marker line is then
        // skipped, so the index stays where it was and every later section is lost too.
        if (index < 0 || index >= static_cast<int>(texts_.size())) continue;
        if (currentLanguageName_.empty()) currentLanguageName_ = text;
        texts_[index] = std::move(text);
        index = marker;
        text.clear();
        newSection = true;
    }
}

std::string QwTrans2::GetText(int n) const {
    if (n < 0 || n >= static_cast<int>(texts_.size())) return {};
    if (texts_[n].empty() && n >= kFirstNewerText)
        if (const char* text = BuiltInText(n)) return text;
    return texts_[n];
}

const char* BuiltInText(int n) {
    for (const BuiltIn& entry : kBuiltInTexts)
        if (entry.number == n) return entry.text;
    return nullptr;
}

std::string QwTrans2::languageFile(int n, const std::string& kind) const {
    return GetDataFilePath(stem_, stem_ + "." + kind + "0" + std::to_string(n));
}

int QwTrans2::GetLanguageCount() const {
    // The two folders a language file may lie in, each listed once, rather than both asked
    // for every slot.
    const std::string prefix = stem_ + ".t0";
    std::set<std::string> present; // upper case
    for (const std::string& folder : {GetDataFolder(stem_), ProgramFolder()}) {
        WIN32_FIND_DATAA data;
        const HANDLE find = FindFirstFileA((folder + prefix + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                present.insert(AnsiUpperCase(data.cFileName));
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    int count = 0;
    for (int n = 0; n < kLanguageSlots; ++n)
        if (present.count(AnsiUpperCase(prefix + std::to_string(n)))) ++count;
    return count;
}

std::string QwTrans2::GetLanguageName(int n) const {
    std::vector<std::string> lines;
    if (n < 0 || !readLanguageLines(languageFile(n, "t"), lines) || lines.size() < 2) return {};
    return lines[1];
}

std::string QwTrans2::FindLanguageNumber(const std::string& name) const {
    std::string found;
    for (int n = 0; n < kLanguageSlots; ++n) {
        std::vector<std::string> lines;
        if (!readLanguageLines(languageFile(n, "t"), lines)) continue;
        const std::string languageName = lines.size() >= 2 ? lines[1] : std::string();
        if (AnsiSameText(languageName, name)) found = std::to_string(n);
    }
    return found;
}

void QwTrans2::copyLanguageFiles(int n) const {
    const std::string dataFolder = GetDataFolder(stem_);
    const struct {
        const char* kind;
        const char* current;
    } files[] = {{"t", ".def"}, {"d", ".doc"}, {"c", ".chm"}};
    for (const auto& file : files)
        CopyFileA(languageFile(n, file.kind).c_str(), (dataFolder + stem_ + file.current).c_str(),
                  FALSE);
}

bool QwTrans2::SelectLanguage(const std::string& name) {
    const std::string number = FindLanguageNumber(name);
    if (number.empty()) return false;
    const int n = std::stoi(number);
    int english = 0;
    const int count = GetLanguageCount();
    for (int i = 0; i < count; ++i)
        if (AnsiUpperCase(GetLanguageName(i)) == "ENGLISH") english = i;
    // English first, so that a language without document or help keeps the English ones.
    copyLanguageFiles(english);
    copyLanguageFiles(n);
    LoadTextFile(languageFile(n, "t"));
    return true;
}

void InitTranslation(const std::string& stem) {
    engine() = std::make_unique<QwTrans2>(stem);
    engine()->LoadTextFile(GetDataFilePath(stem, stem + ".def"));
}

void InitTranslationOrFirstLanguage(const std::string& stem) {
    const std::string current = GetDataFilePath(stem, stem + ".def");
    engine() = std::make_unique<QwTrans2>(stem);
    engine()->LoadTextFile(FileExistsA(current) ? current : GetDataFilePath(stem, stem + ".t00"));
}

std::string GetText(int n) {
    return engine() ? engine()->GetText(n) : std::string();
}

int GetLanguageCount() {
    return engine() ? engine()->GetLanguageCount() : 0;
}

std::string GetLanguageName(int n) {
    return engine() ? engine()->GetLanguageName(n) : std::string();
}

std::string GetCurrentLanguageName() {
    return engine() ? engine()->CurrentLanguageName() : std::string();
}

bool SelectLanguage(const std::string& name) {
    return engine() ? engine()->SelectLanguage(name) : false;
}
