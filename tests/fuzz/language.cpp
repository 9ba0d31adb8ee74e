// Language files: the translation engine's reading of a file's contents.
#include "fuzz_support.h"

#include "lang/TQwTrans2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);
    static QwTrans2 engine("Surfkolibri");
    engine.LoadText(contents);
    // Every text is made of the file's own lines: never longer than the file and never past
    // its end-of-file mark.
    for (int n = 0; n < QwTrans2::kTextCount; ++n) {
        const std::string text = engine.GetText(n);
        const char* builtIn = BuiltInText(n);
        if (text.empty() || (builtIn != nullptr && text == builtIn)) continue;
        FUZZ_CHECK(text.size() <= size);
        FUZZ_CHECK(text.find('\x1A') == std::string::npos);
    }
    FUZZ_CHECK(engine.CurrentLanguageName().size() <= size);
    for (const std::string& line : SplitLanguageLines(contents))
        FUZZ_CHECK(line.find('\r') == std::string::npos);
    return 0;
}
