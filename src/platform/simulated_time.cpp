// The tick count (GetTickCount64) and the hosted side of the tests' simulated waits.
#include "platform/simulated_time.h"

#include "platform/win32.h"

#include <chrono>

namespace platform {

SimulatedTime::SimulatedTime() {
    beginSimulation();
}

SimulatedTime::~SimulatedTime() {
    endSimulation();
}

} // namespace platform

ULONGLONG GetTickCount64() {
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<ULONGLONG>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count() +
        platform::simulatedMilliseconds());
}
