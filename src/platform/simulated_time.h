// Time that passes without waiting, for tests. While a SimulatedTime exists, Sleep returns at
// once and the time it was asked to wait passes on the platform's clocks instead: the host
// clock under GetSystemTime and GetLocalTime, and the tick count of GetTickCount64, all move
// on by it, as they would have after a real wait. Internal to the platform and its tests.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <functional>

namespace platform {

class SimulatedTime {
  public:
    // At most one exists at a time; it starts with no time passed.
    SimulatedTime();
    // The clocks fall back to the host's own.
    ~SimulatedTime();
    SimulatedTime(const SimulatedTime&) = delete;
    SimulatedTime& operator=(const SimulatedTime&) = delete;

    // Called by every Sleep, before its time passes.
    void OnSleep(std::function<void(DWORD milliseconds)> observer);
    // The milliseconds that Sleep calls have passed so far.
    std::int64_t PassedMilliseconds() const;
};

// The bookkeeping both sides share: a SimulatedTime begins the simulation when it is made
// (at most one at a time) and ends it when it goes.
void beginSimulation();
void endSimulation();
// The milliseconds a simulated wait has added to the clocks (0 when none is active).
std::int64_t simulatedMilliseconds();
// Sleep's door: true when a SimulatedTime took the wait (the time has passed), false when
// the caller must wait for real.
bool simulateSleep(DWORD milliseconds);

} // namespace platform
