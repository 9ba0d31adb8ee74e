// The simulated waits' bookkeeping, the same on the hosted platform and on Windows: whether a
// SimulatedTime exists, the time its waits have passed, and who watches them.
#include "platform/simulated_time.h"

#include <stdexcept>
#include <utility>

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

void beginSimulation() {
    if (simulation().active) throw std::logic_error("only one SimulatedTime at a time");
    simulation() = Simulation{true, 0, {}};
}

void endSimulation() {
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
