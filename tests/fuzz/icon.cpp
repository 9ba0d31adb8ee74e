// Icon images on their own: a device-independent bitmap with its mask, or a PNG, as an icon
// or (with a hot spot first) as a cursor. The first byte of the input chooses which.
#include "fuzz_support.h"

#include "platform/gui/icons.h"
#include "platform/win32.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool asIcon = (data[0] & 1) == 0;
    const DWORD version = (data[0] & 2) ? 0x00020000 : ICON_RESOURCE_VERSION;
    // Exactly the bytes given, on the heap: a read past them is caught.
    std::vector<BYTE> bits(data + 1, data + size);
    const int iconsBefore = LiveIconCount();
    HICON icon = CreateIconFromResource(bits.empty() ? nullptr : bits.data(),
                                        static_cast<DWORD>(bits.size()), asIcon, version);
    if (icon == nullptr) {
        FUZZ_CHECK(LiveIconCount() == iconsBefore);
        return 0;
    }
    const QImage image = IconImage(icon);
    FUZZ_CHECK(!image.isNull());
    FUZZ_CHECK(image.width() > 0 && image.width() <= 256);
    FUZZ_CHECK(image.height() > 0 && image.height() <= 256);
    FUZZ_CHECK(DestroyIcon(icon));
    FUZZ_CHECK(LiveIconCount() == iconsBefore);
    return 0;
}
