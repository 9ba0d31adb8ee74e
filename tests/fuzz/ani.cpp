// Animated icons: the RIFF "ACON" reader, its frames and the animation over them.
#include "fuzz_support.h"

#include "controls/aniicon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int iconsBefore = LiveIconCount();
    {
        TAniIconFile file;
        file.LoadFromData(std::string(reinterpret_cast<const char*>(data), size));
        const int frames = file.FrameCount();
        FUZZ_CHECK(frames >= 0 && frames <= TAniIconFile::MaxFrames);
        for (int slot = 0; slot < TAniIconFile::MaxFrames; ++slot) {
            if (HICON icon = file.FrameIcon(slot)) {
                const QImage image = IconImage(icon);
                FUZZ_CHECK(!image.isNull() && image.width() <= 256 && image.height() <= 256);
            }
        }
        // The animation only ever shows decoded frames (or frame 0 of an empty file).
        for (int tick = 0; tick < 300; ++tick) {
            file.Step();
            FUZZ_CHECK(file.CurrentFrame() >= 0 && file.CurrentFrame() < TAniIconFile::MaxFrames);
            FUZZ_CHECK(file.CurrentFrame() == 0 || file.FrameIcon(file.CurrentFrame()) != nullptr);
        }
        // A copy decodes the same frames.
        TAniIconFile copy;
        copy.Assign(&file);
        FUZZ_CHECK(copy.FrameCount() == frames);
    }
    // Every frame's icon went back with the file.
    FUZZ_CHECK(LiveIconCount() == iconsBefore);
    return 0;
}
