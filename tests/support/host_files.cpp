// Host files for the tests, written and read past the platform.
#include "support/platform_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_support {

void writeHostFile(const std::string& hostPath, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << contents;
}

std::string readHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace testing_support
