// The translation engine: the numbered interface texts of the current language, the list of
// installed languages and the switch to another language.
//
// A language file is 8-bit text. Lines end at CR LF or a lone CR (a lone LF belongs to the
// text), Ctrl-Z ends the file. A marker line "[n]" or "[END]" (10000) starts a section; a
// section's lines are joined with CR and stored under its number when the next marker comes.
#pragma once

#include <string>
#include <vector>

class QwTrans2 {
  public:
    static constexpr int kTextCount = 10001;
    static constexpr int kLanguageSlots = 101;

    // Texts from this number on came after the first language files were written: a file
    // that lacks one gets the program's own English wording instead of an empty text.
    static constexpr int kFirstNewerText = 300;

    explicit QwTrans2(std::string stem);

    // Empties the table, then fills it from the file; a missing file leaves it empty.
    void LoadTextFile(const std::string& path);
    // The same for a language file's contents already read.
    void LoadText(const std::string& contents);
    std::string GetText(int n) const;
    int GetLanguageCount() const;
    // Line 2 of language file n; empty when it is missing or unreadable.
    std::string GetLanguageName(int n) const;
    const std::string& CurrentLanguageName() const { return currentLanguageName_; }
    // Copies the English files, then the named language's, into the data folder and loads
    // the named language; false (and nothing changed) when no language has that name.
    bool SelectLanguage(const std::string& name);
    // The number of the last language whose name matches ignoring case, in decimal; empty
    // when none does.
    std::string FindLanguageNumber(const std::string& name) const;

    const std::string& Stem() const { return stem_; }

  private:
    std::string languageFile(int n, const std::string& kind) const;
    void copyLanguageFiles(int n) const;

    std::string stem_;
    std::vector<std::string> texts_;
    std::string currentLanguageName_;
};

// The program's own English wording of a newer text (kFirstNewerText on), or null.
const char* BuiltInText(int n);

// The number of a marker line, or -1 for an ordinary text line.
int ParseSectionMarker(const std::string& line);
// The lines of a language file's contents, as the engine reads them.
std::vector<std::string> SplitLanguageLines(const std::string& contents);

// The one engine of the process, reached through these operations. Before InitTranslation
// every text is empty and no language is installed.
void InitTranslation(const std::string& stem);
// The same where the program may never have run: without a current language file the texts
// are the first language's (English), from the data folder or else the program folder.
void InitTranslationOrFirstLanguage(const std::string& stem);
std::string GetText(int n);
int GetLanguageCount();
std::string GetLanguageName(int n);
std::string GetCurrentLanguageName();
bool SelectLanguage(const std::string& name);
