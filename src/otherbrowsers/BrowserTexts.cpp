#include "otherbrowsers/BrowserTexts.h"

#include "lang/TQwTrans2.h"
#include "ui/CleaningResult.h"

namespace {

// The text with "%1", "%2", ... replaced by the arguments (each once, where it stands).
std::string filled(std::string text, std::initializer_list<std::string> arguments) {
    int number = 1;
    for (const std::string& argument : arguments) {
        const std::string marker = "%" + std::to_string(number++);
        if (const auto at = text.find(marker); at != std::string::npos)
            text.replace(at, marker.size(), argument);
    }
    return text;
}

// The current language's text, or the program's own English where no language is loaded
// (the unattended run before the language window, a test).
std::string text(int number) {
    std::string t = GetText(number);
    if (t.empty())
        if (const char* builtIn = BuiltInText(number)) t = builtIn;
    return t;
}

} // namespace

std::string BrowserText(int number) {
    return text(number);
}

std::string FileNote(const std::string& file, const std::string& reason) {
    // The file's path may hold a profile's name as another program wrote it.
    return filled(text(kTextFileLeft), {PrintableText(file), reason});
}

std::string RunningNote(const std::string& browser) {
    return filled(text(kTextRunning), {browser});
}

std::string PartlyCleanedNote(const std::string& file) {
    return filled(text(kTextPartlyCleaned), {file});
}
