// DeleteFolderTree against rm -rf on identical trees of 20 000 small files in 200 folders,
// in a throw-away platform root. The last line is the summary.
#include "bench_support.h"
#include "platform/win32.h"
#include "ui/MyTricks.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;
constexpr int kRounds = 3;

void makeTree(const fs::path& top) {
    for (int d = 0; d < kFolders; ++d) {
        const fs::path folder = top / ("folder" + std::to_string(d));
        fs::create_directories(folder);
        for (int f = 0; f < kFilesPerFolder; ++f)
            std::ofstream(folder / ("file" + std::to_string(f) + ".txt")) << "cached " << f;
    }
}

double cpuMilliseconds(int who) {
    struct rusage usage {};
    ::getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Wall-clock milliseconds; `cpu` gets the processor time of this process and its children.
double millisecondsOf(void (*work)(const std::string&), const std::string& argument, double& cpu) {
    const double cpuBefore = cpuMilliseconds(RUSAGE_SELF) + cpuMilliseconds(RUSAGE_CHILDREN);
    const auto start = std::chrono::steady_clock::now();
    work(argument);
    const auto end = std::chrono::steady_clock::now();
    cpu = cpuMilliseconds(RUSAGE_SELF) + cpuMilliseconds(RUSAGE_CHILDREN) - cpuBefore;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void deleteWithTheProgram(const std::string& windowsPath) {
    DeleteFolderTree(windowsPath);
}

void deleteWithRm(const std::string& hostPath) {
    const std::string command = "rm -rf '" + hostPath + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "rm -rf failed\n");
}

using bench::median;

} // namespace

int main(int argc, char** argv) {
    std::string base = (fs::temp_directory_path() / "surfkolibri-bench-XXXXXX").string();
    if (!::mkdtemp(base.data())) return 1;
    const std::string root = base + "/root";
    ::setenv("SURFKOLIBRI_PLATFORM", root.c_str(), 1);
    // Deleting lets window messages through between entries, as in the program.
    QCoreApplication application(argc, argv);

    // Opening the root creates drive C: under it.
    if (!FolderExists("C:\\")) {
        std::fprintf(stderr, "no platform root\n");
        return 1;
    }
    const fs::path driveC = fs::path(root) / "drive_c";
    std::vector<double> ours;
    std::vector<double> rm;
    for (int round = 0; round < kRounds; ++round) {
        makeTree(driveC / "ours");
        makeTree(driveC / "rm");
        // The new trees' writeback would otherwise land in whichever deletion runs first.
        ::sync();
        // Alternating the order keeps the file system's state from favouring one side.
        double oursCpu = 0;
        double rmCpu = 0;
        if (round % 2 == 0) {
            ours.push_back(millisecondsOf(deleteWithTheProgram, "C:\\ours\\", oursCpu));
            ::sync();
            rm.push_back(millisecondsOf(deleteWithRm, (driveC / "rm").string(), rmCpu));
        } else {
            rm.push_back(millisecondsOf(deleteWithRm, (driveC / "rm").string(), rmCpu));
            ::sync();
            ours.push_back(millisecondsOf(deleteWithTheProgram, "C:\\ours\\", oursCpu));
        }
        ::sync();
        if (fs::exists(driveC / "ours") || fs::exists(driveC / "rm")) {
            std::fprintf(stderr, "a tree was left behind\n");
            return 1;
        }
        std::printf("round %d: DeleteFolderTree %.0f ms (cpu %.0f ms), rm -rf %.0f ms (cpu %.0f "
                    "ms)\n",
                    round + 1, ours.back(), oursCpu, rm.back(), rmCpu);
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    const double oursMs = median(ours);
    const double rmMs = median(rm);
    std::printf("delete tree %d files: %.0f ms, rm -rf: %.0f ms, ratio %.2f\n",
                kFolders * kFilesPerFolder, oursMs, rmMs, oursMs / rmMs);
    return 0;
}
