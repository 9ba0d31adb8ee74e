// Internet shortcuts (.url): the address read by the Internet shortcut object and by the
// favorites' own INI reading.
#include "fuzz_support.h"

#include "favorites/IEUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzing::writeInput("input.url", data, size);
    const std::string viaObject = UrlFromIntShCut(path);
    const std::string viaIni = UrlFromIniFile(path);
    // The object takes addresses up to its longest, the favorites' reading as a browser does.
    FUZZ_CHECK(viaObject.size() <= 8193);
    FUZZ_CHECK(viaIni.size() <= 2083);
    // Both read the same value; the object's answer is a C string, so it ends at a zero.
    const std::string iniText = viaIni.substr(0, viaIni.find('\0'));
    FUZZ_CHECK(viaObject.compare(0, iniText.size(), iniText) == 0);
    return 0;
}
