// Registry editor files (.reg), "REGEDIT4" and "Windows Registry Editor Version 5.00".
#include "fuzz_support.h"

#include "platform/regfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using platform::regfile::Operation;
    std::vector<Operation> operations;
    platform::regfile::Error error;
    const bool ok = platform::regfile::parse(std::string(reinterpret_cast<const char*>(data), size),
                                             operations, error);
    if (!ok) {
        FUZZ_CHECK(operations.empty());
        FUZZ_CHECK(!error.message.empty());
        return 0;
    }
    int previousLine = 0;
    for (const Operation& op : operations) {
        FUZZ_CHECK(op.hive != platform::registry::kNoKey);
        // In file order, one operation per line.
        FUZZ_CHECK(op.line > previousLine);
        previousLine = op.line;
        // Key paths as the store takes them: no empty component, none at either end.
        FUZZ_CHECK(op.path.empty() || (op.path.front() != '\\' && op.path.back() != '\\'));
        FUZZ_CHECK(op.path.find("\\\\") == std::string::npos);
    }
    return 0;
}
