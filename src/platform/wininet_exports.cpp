#include "platform/modules.h"

namespace platform {

const std::vector<ExportEntry>& wininetExports() {
    // The URL cache functions join this table as they are hosted.
    static const std::vector<ExportEntry> exports;
    return exports;
}

} // namespace platform
