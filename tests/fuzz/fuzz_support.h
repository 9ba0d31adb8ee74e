// What the fuzz targets share: a private platform root for readers that go through files,
// and the check that turns a broken promise of a reader into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Every target defines this; libFuzzer calls it with each input, replay_main.cpp with each
// corpus file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzzing {

// Opens a fresh platform root in a temporary folder on first use (removed when the process
// ends normally) and answers the Windows path of a scratch folder on its drive C:.
const std::string& scratchFolder();

// Writes the input as a file of the scratch folder and answers its Windows path.
std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size);

// Creates a folder (a Windows path ending in a backslash) with the folders above it; false
// when one cannot be made.
bool makeFolders(const std::string& folder);

// A reader broke a promise it makes (a length that does not fit its buffer, a round trip
// that changed the data): reported and aborted, so that the fuzzer keeps the input.
[[noreturn]] void broken(const char* what, const char* file, int line);

} // namespace fuzzing

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) ::fuzzing::broken(#condition, __FILE__, __LINE__);                       \
    } while (false)
