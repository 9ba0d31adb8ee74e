#include "support/reg_files.h"

#include "platform/regfile.h"
#include "platform/registry.h"

namespace testing_support {

bool importRegFile(const std::string& fileBytes) {
    platform::regfile::Error error;
    return platform::regfile::importFile(fileBytes, error);
}

std::string exportRegKey(const std::string& keyPath) {
    namespace registry = platform::registry;
    const std::size_t slash = keyPath.find('\\');
    const registry::KeyId hive = registry::hiveByName(keyPath.substr(0, slash));
    const registry::KeyId key =
        slash == std::string::npos ? hive : registry::find(hive, keyPath.substr(slash + 1));
    if (key == registry::kNoKey) return {};
    return platform::regfile::exportKey(key, platform::regfile::Format::Unicode5);
}

} // namespace testing_support
