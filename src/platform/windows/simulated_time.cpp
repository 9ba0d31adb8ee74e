// The tests' simulated waits on Windows. The program's calls of Sleep and of the clocks go
// through the import table of the running program; while a SimulatedTime exists, those
// entries point here: Sleep returns at once and its time passes on the clocks instead, as it
// does on the hosted platform. Only this program's own calls are affected, never Windows'.
#include "platform/simulated_time.h"

#include "platform/win32.h"

#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10000;

// The real calls, read from the import table before it was changed.
struct RealCalls {
    VOID(WINAPI* sleep)(DWORD) = nullptr;
    ULONGLONG(WINAPI* tickCount64)() = nullptr;
    DWORD(WINAPI* tickCount)() = nullptr;
    VOID(WINAPI* systemTime)(LPSYSTEMTIME) = nullptr;
    VOID(WINAPI* systemTimeAsFileTime)(LPFILETIME) = nullptr;
    VOID(WINAPI* localTime)(LPSYSTEMTIME) = nullptr;
};
RealCalls real;

ULARGE_INTEGER ticksOf(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    return ticks;
}

FILETIME later(FILETIME time) {
    ULARGE_INTEGER ticks = ticksOf(time);
    ticks.QuadPart += static_cast<std::uint64_t>(simulatedMilliseconds()) * kTicksPerMillisecond;
    time.dwLowDateTime = ticks.LowPart;
    time.dwHighDateTime = ticks.HighPart;
    return time;
}

void laterSystemTime(SYSTEMTIME* time) {
    FILETIME file;
    if (!SystemTimeToFileTime(time, &file)) return;
    const FILETIME moved = later(file);
    FileTimeToSystemTime(&moved, time);
}

VOID WINAPI simulatedSleep(DWORD milliseconds) {
    if (!simulateSleep(milliseconds)) real.sleep(milliseconds);
}

ULONGLONG WINAPI simulatedTickCount64() {
    return real.tickCount64() + static_cast<ULONGLONG>(simulatedMilliseconds());
}

DWORD WINAPI simulatedTickCount() {
    return real.tickCount() + static_cast<DWORD>(simulatedMilliseconds());
}

VOID WINAPI simulatedSystemTime(LPSYSTEMTIME time) {
    real.systemTime(time);
    laterSystemTime(time);
}

VOID WINAPI simulatedSystemTimeAsFileTime(LPFILETIME time) {
    real.systemTimeAsFileTime(time);
    *time = later(*time);
}

VOID WINAPI simulatedLocalTime(LPSYSTEMTIME time) {
    real.localTime(time);
    laterSystemTime(time);
}

// The slot of an imported call in the running program's import table, found by its name in
// whichever library it comes from; null when the program does not import it.
void** importSlot(const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (library->OriginalFirstThunk == 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// Points an import at `replacement` and gives back what it pointed at before.
void* redirect(const char* name, void* replacement) {
    void** slot = importSlot(name);
    if (!slot) return nullptr;
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection)) return nullptr;
    void* previous = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof(void*));
    return previous;
}

template <typename Call> void redirectCall(const char* name, Call& saved, Call replacement) {
    void* previous = redirect(name, reinterpret_cast<void*>(replacement));
    if (previous) saved = reinterpret_cast<Call>(previous);
}

template <typename Call> void restoreCall(const char* name, Call saved) {
    if (saved) redirect(name, reinterpret_cast<void*>(saved));
}

} // namespace

SimulatedTime::SimulatedTime() {
    beginSimulation();
    real = RealCalls{};
    redirectCall("Sleep", real.sleep, &simulatedSleep);
    redirectCall("GetTickCount64", real.tickCount64, &simulatedTickCount64);
    redirectCall("GetTickCount", real.tickCount, &simulatedTickCount);
    redirectCall("GetSystemTime", real.systemTime, &simulatedSystemTime);
    redirectCall("GetSystemTimeAsFileTime", real.systemTimeAsFileTime,
                 &simulatedSystemTimeAsFileTime);
    redirectCall("GetLocalTime", real.localTime, &simulatedLocalTime);
}

SimulatedTime::~SimulatedTime() {
    restoreCall("Sleep", real.sleep);
    restoreCall("GetTickCount64", real.tickCount64);
    restoreCall("GetTickCount", real.tickCount);
    restoreCall("GetSystemTime", real.systemTime);
    restoreCall("GetSystemTimeAsFileTime", real.systemTimeAsFileTime);
    restoreCall("GetLocalTime", real.localTime);
    real = RealCalls{};
    endSimulation();
}

} // namespace platform
