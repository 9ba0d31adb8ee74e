// The tick count (GetTickCount64) and the tests' simulated waits.
#include "platform/simulated_time.h"

#include "platform/win32.h"

#include <chrono>
#include <stdexcept>

namespace platform {
namespace {

struct Simulation {
    bool active = false;
    std::int64_t passed = 0;
    std::function<void(DWORD)> observer;
};

Simulation& simulation() {
    static Simulation s;
    return s;
}

} // namespace

SimulatedTime::SimulatedTime() {
    if (simulation().active) throw std::logic_error("only one SimulatedTime at a time");
    simulation() = Simulation{true, 0, {}};
}

SimulatedTime::~SimulatedTime() {
    simulation() = Simulation{};
}

void SimulatedTime::OnSleep(std::function<void(DWORD)> observer) {
    simulation().observer = std::move(observer);
}

std::int64_t SimulatedTime::PassedMilliseconds() const {
    return simulation().passed;
}

std::int64_t simulatedMilliseconds() {
    return simulation().active ? simulation().passed : 0;
}

bool simulateSleep(DWORD milliseconds) {
    Simulation& s = simulation();
    if (!s.active) return false;
    if (s.observer) s.observer(milliseconds);
    s.passed += milliseconds;
    return true;
}

} // namespace platform

ULONGLONG GetTickCount64() {
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<ULONGLONG>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count() +
        platform::simulatedMilliseconds());
}
