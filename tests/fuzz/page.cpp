// Pages, text files and pictures shown in the preview (cached files of other sites): the
// charset and kind told from the bytes, the page laid out with its local pictures. The first
// byte of the input chooses the file's extension.
#include "fuzz_support.h"

#include "controls/WebBrowser.h"

#include <QApplication>

#include <cstdlib>

namespace {

QApplication& application() {
    // Without a display unless told otherwise.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz_page";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const kExtensions[] = {"htm", "txt", "jpg", "png", "dat"};
    application();
    const std::string name = std::string("page.") + kExtensions[data[0] % 5];
    const std::string path = fuzzing::writeInput(name, data + 1, size - 1);
    // A picture the pages may show by a relative or a file: address.
    static const bool picture = [] {
        static const std::uint8_t gif[] = {
            'G',  'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0,    0, 0, 0xFF, 0xFF,
            0xFF, ',', 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 1, 0, ';'};
        fuzzing::writeInput("dot.gif", gif, sizeof gif);
        return true;
    }();
    (void)picture;
    TWebBrowser browser;
    browser.resize(400, 300);
    browser.Navigate(path);
    FUZZ_CHECK(!browser.Busy());
    FUZZ_CHECK(browser.LocationURL() == path);
    return 0;
}
