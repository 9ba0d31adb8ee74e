// Shell links (.lnk): the binary format, and a link file read the ways the program reads one
// (the shortcut component, the favorites' target look-up, the item list shown by name).
#include "fuzz_support.h"

#include "automation/ShellLnk.h"
#include "favorites/IEUtils.h"
#include "platform/handles.h"
#include "platform/lnkformat.h"
#include "platform/win32.h"

#include <cstring>

namespace {

// What the format keeps of a link that was read survives writing it out and reading it back.
void checkRoundTrip(const platform::lnk::LinkData& link) {
    platform::lnk::LinkData again;
    FUZZ_CHECK(platform::lnk::parse(platform::lnk::serialize(link), again));
    FUZZ_CHECK(again.idList == link.idList);
    FUZZ_CHECK(again.description == link.description);
    FUZZ_CHECK(again.relativePath == link.relativePath);
    FUZZ_CHECK(again.workingDirectory == link.workingDirectory);
    FUZZ_CHECK(again.arguments == link.arguments);
    FUZZ_CHECK(again.iconLocation == link.iconLocation);
    FUZZ_CHECK(again.iconIndex == link.iconIndex);
    FUZZ_CHECK(again.showCommand == link.showCommand);
    FUZZ_CHECK(again.hotKey == link.hotKey);
    FUZZ_CHECK(again.fileSize == link.fileSize);
    FUZZ_CHECK(again.fileAttributes == link.fileAttributes);
    FUZZ_CHECK(std::memcmp(&again.writeTime, &link.writeTime, sizeof link.writeTime) == 0);
}

void readThroughTheShell(const std::string& path, std::size_t size) {
    ComRef<IShellLinkA> link;
    FUZZ_CHECK(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkA, link.out())));
    ComRef<IPersistFile> file;
    FUZZ_CHECK(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.out())));
    if (FAILED(file->Load(AnsiToWide(path).c_str(), STGM_READ))) return;
    PidlRef target;
    if (SUCCEEDED(link->GetIDList(target.put())) && target) {
        // The list handed out is the one in the file, terminator included.
        FUZZ_CHECK(ILGetSize(target.get()) <= size);
        char buffer[MAX_PATH];
        std::memset(buffer, 0x55, sizeof buffer);
        if (SHGetPathFromIDListA(target.get(), buffer))
            FUZZ_CHECK(std::memchr(buffer, '\0', sizeof buffer) != nullptr);
        ComRef<IShellFolder> desktop;
        if (SUCCEEDED(SHGetDesktopFolder(desktop.put())))
            ItemDisplayName(desktop.get(), target.get());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    platform::lnk::LinkData link;
    if (platform::lnk::parse(bytes, link)) checkRoundTrip(link);

    const std::string path = fuzzing::writeInput("input.lnk", data, size);
    TShellLink shortcut;
    shortcut.LoadFromFile(path);
    ShellLinkTarget(path);
    readThroughTheShell(path, size);
    return 0;
}
