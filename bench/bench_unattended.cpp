// The program's main job, timed: the whole "surfkolibri cbhme" process (start-up, the cleaning
// of cookies, cache, history, the Run and recent-documents lists and the typed addresses, the
// end) on a seeded machine with 20 000 cache entries and no other browsers, against "rm -rf"
// of a copy of the same cache files. Median of three rounds; the summary is the last line.
// Before it, the preview of the same run (counting what would go, removing nothing) in this
// process, and what its counting and its report take of it.
#include "automation/CleaningRun.h"
#include "automation/RunReport.h"
#include "bench_support.h"
#include "cache/IECache.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"
#include "traces/UrlHistory.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 20000;
constexpr int kRounds = 3;
const char* const kContentFolders[] = {"0QK7ZP2M", "A8D3LW1X", "H4T9RB6C", "V2N5GJ0E"};

std::string g_buildDir;

double childCpuMilliseconds() {
    struct rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Wall-clock milliseconds of a child's work; `cpu` gets the processor time the child took.
double millisecondsOf(const std::function<int()>& work, int& status, double& cpu) {
    const double cpuBefore = childCpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    status = work();
    const auto end = std::chrono::steady_clock::now();
    cpu = childCpuMilliseconds() - cpuBefore;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Runs a program with extra environment and its output discarded; its exit status, or -1.
int run(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        for (const auto& setting : environment)
            ::putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runQuiet(const std::string& command) {
    return std::system(command.c_str());
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

// The seeded machine the rounds start from: the demo machine without its other browsers, the
// language chosen, and 20 000 more pages in the cache, spread over its folders as the browser
// does.
bool makeTemplate(const std::string& root) {
    const std::vector<std::string> env = {"SURFKOLIBRI_PLATFORM=" + root};
    if (run({g_buildDir + "/skplatform", "seed-demo"}, env) != 0) return false;
    platform::useRoot(platform::HostPath(root));
    const std::string user = "C:\\Users\\User\\";
    std::vector<std::string> browsers = {"C:\\Program Files\\Opera",
                                         user + "Documents\\Floorp profile",
                                         user + "AppData\\Local\\Microsoft\\Edge"};
    for (const char* below : {"Opera", "Mozilla", "Opera Software", "librewolf", "Waterfox",
                              "Floorp", "zen", "Google", "BraveSoftware", "Vivaldi", "Chromium"})
        for (const char* base : {"Roaming\\", "Local\\"})
            browsers.push_back(user + "AppData\\" + base + below);
    for (const std::string& folder : browsers) {
        const platform::Result<platform::HostPath> host = platform::resolvePath(folder);
        if (host) fs::remove_all(host->str());
    }
    const std::string data = "C:\\Users\\User\\AppData\\Local\\Kravonel\\Surfkolibri\\";
    CreateDirectoryA("C:\\Users\\User\\AppData\\Local\\Kravonel", nullptr);
    CreateDirectoryA(data.c_str(), nullptr);
    if (!CopyFileA(
            (platform::windowsPathOf(platform::HostPath(g_buildDir)) + "\\Surfkolibri.t00").c_str(),
            (data + "Surfkolibri.def").c_str(), FALSE) ||
        !WriteWholeFile(data + "Surfkolibri.cho", "2.8"))
        return false;

    const std::string cache = platform::userShellFolder("Cache") + "\\Content.IE5\\";
    const platform::Result<platform::HostPath> resolvedCache = platform::resolvePath(cache);
    if (!resolvedCache) return false;
    const std::string cacheHost = resolvedCache->str();
    platform::Transaction tx;
    platform::urlcache::Record r;
    r.type = NORMAL_CACHE_ENTRY;
    r.header = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    r.extension = "htm";
    for (int i = 0; i < kEntries; ++i) {
        const char* folder = kContentFolders[i % std::size(kContentFolders)];
        const std::string name = "page" + std::to_string(i) + "[1].htm";
        fs::create_directories(cacheHost + "/" + folder);
        const std::string page = "<html><body>Seite " + std::to_string(i) + "</body></html>\n";
        std::ofstream(cacheHost + "/" + folder + "/" + name) << page;
        r.url = "http://www.bench" + std::to_string(i % 50) + ".example/page" + std::to_string(i) +
                ".htm";
        r.localFile = cache + folder + "\\" + name;
        r.size = page.size();
        platform::urlcache::put(r);
    }
    tx.commit();
    platform::closeRoot();
    return true;
}

using bench::median;

// The cache components as the program's windows set them up: the main window's for the
// cache, the cookie window's for the cookies.
void setUpCache(TIECache& cache) {
    cache.SetFilterOptions(
        {NORMAL_ENTRY, STICKY_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    cache.SetSearchPattern(spUrl);
}

void setUpCookies(TIECache& cookies) {
    cookies.SetFilterOptions({NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY,
                              TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    cookies.SetSearchPattern(spAll);
}

class SilentRun : public CleaningRunView {
  public:
    void Progress(int) override {}
};

// The walk of the cache alone, through the URL cache calls: every entry handed out and
// passed over, nothing counted.
double walkMilliseconds() {
    return bench::millisecondsOf([] {
        std::vector<std::byte> buffer(65536);
        auto* entry = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
        DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD filter = NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY |
                             TRACK_OFFLINE_CACHE_ENTRY | TRACK_ONLINE_CACHE_ENTRY;
        const HANDLE find =
            FindFirstUrlCacheEntryExA("", 0, filter, 0, entry, &size, nullptr, nullptr, nullptr);
        std::size_t seen = find ? 1 : 0;
        for (size = static_cast<DWORD>(buffer.size());
             find && FindNextUrlCacheEntryExA(find, entry, &size, nullptr, nullptr, nullptr);
             size = static_cast<DWORD>(buffer.size()))
            ++seen;
        if (find) FindCloseUrlCache(find);
        if (seen < kEntries) std::fprintf(stderr, "the walk saw only %zu entries\n", seen);
    });
}

// The preview of "cbhme" on a copy of the seeded machine, in this process: the median of
// three, with the walk of the cache alone and the making of the run's report beside it.
bool timePreview(const std::string& templateRoot, const std::string& base) {
    const std::string root = base + "/preview";
    if (runQuiet("cp -a " + quoted(templateRoot) + " " + quoted(root)) != 0) return false;
    platform::useRoot(platform::HostPath(root));
    CoInitialize(nullptr);
    std::vector<double> preview;
    std::vector<double> walk;
    std::vector<double> counted;
    std::vector<double> report;
    RunSummary summary;
    for (int round = 0; round < kRounds; ++round) {
        TIECache cookies;
        TIECache cache;
        setUpCookies(cookies);
        setUpCache(cache);
        TUrlHistory history;
        history.Loaded();
        SilentRun view;
        preview.push_back(bench::millisecondsOf([&] {
            summary = RunCleanings("cbhme", {cookies, cache, history}, view, CleaningMode::Preview);
        }));
        walk.push_back(walkMilliseconds());
        counted.push_back(bench::millisecondsOf([] {
            TIECache content;
            setUpCache(content);
            const CleaningResult result = content.DeleteAllEntries(CleaningMode::Preview);
            if (result.removed < kEntries) std::fprintf(stderr, "the count fell short\n");
        }));
        SYSTEMTIME when{};
        GetLocalTime(&when);
        report.push_back(bench::millisecondsOf([&] {
            const std::string text = FormatRunReport({RecordOf(summary, "cbhme", when)});
            const std::vector<std::string> lines = SummaryLines(summary, CleaningMode::Preview);
            if (text.empty() || lines.empty()) std::fprintf(stderr, "an empty report\n");
        }));
    }
    platform::closeRoot();
    std::error_code ignored;
    fs::remove_all(root, ignored);
    if (summary.total.removed < kEntries) {
        std::fprintf(stderr, "the preview counted only %llu items\n",
                     static_cast<unsigned long long>(summary.total.removed));
        return false;
    }
    const double previewMs = median(preview);
    const double walkMs = median(walk);
    const double countedMs = median(counted);
    const double reportMs = median(report);
    // What counting adds: the cache's counted walk against the same walk counting nothing,
    // and the report made of the counts, as parts of the whole preview.
    const double countingMs = std::max(0.0, countedMs - walkMs);
    std::printf("preview: %llu items would go, %llu stay; cache walk %.0f ms, counted %.0f ms; "
                "counting and report add %.1f ms (%.1f%% of the preview)\n",
                static_cast<unsigned long long>(summary.total.removed),
                static_cast<unsigned long long>(summary.total.notRemoved), walkMs, countedMs,
                countingMs + reportMs, 100.0 * (countingMs + reportMs) / previewMs);
    std::printf("preview (%d cache entries): %.0f ms\n", kEntries, previewMs);
    std::fflush(stdout);
    return true;
}

} // namespace

// bench_unattended [FOLDER]: FOLDER is where the rounds run (default: /dev/shm).
// bench_unattended --seed ROOT: only seeds the machine the rounds start from into ROOT, for a
// profiler to run "surfkolibri cbhme" on.
int main(int argc, char** argv) {
    g_buildDir = fs::read_symlink("/proc/self/exe").parent_path().string();
    if (argc == 3 && std::string(argv[1]) == "--seed") return makeTemplate(argv[2]) ? 0 : 1;
    // The rounds run in memory where the machine offers it, so that neither side waits for the
    // disk: on a disk that discards freed blocks at once (a virtual machine's, mounted with
    // "discard") deleting files that were written back costs milliseconds each whoever deletes
    // them, and a database's sync writes back every file the round has just copied.
    const fs::path memory = "/dev/shm";
    std::error_code ec;
    const bool inMemory =
        argc < 2 && fs::is_directory(memory, ec) && ::access(memory.c_str(), W_OK) == 0;
    const fs::path folder = argc >= 2  ? fs::path(argv[1])
                            : inMemory ? memory
                                       : fs::temp_directory_path();
    std::string base = (folder / "surfkolibri-bench-XXXXXX").string();
    if (!::mkdtemp(base.data())) return 1;
    // Nothing of the rounds is left behind, whichever way the benchmark ends.
    struct Cleanup {
        std::string folder;
        ~Cleanup() {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
    } cleanup{base};
    std::printf("working in %s%s\n", base.c_str(), inMemory ? " (in memory)" : "");
    std::fflush(stdout);
    const std::string templateRoot = base + "/template";
    if (!makeTemplate(templateRoot)) {
        std::fprintf(stderr, "cannot seed the machine in %s\n", templateRoot.c_str());
        return 1;
    }
    if (!timePreview(templateRoot, base)) return 1;
    const std::string cacheBelowC =
        "/drive_c/Users/User/AppData/Local/Microsoft/Windows/Temporary Internet Files";

    std::vector<double> program;
    std::vector<double> rm;
    for (int round = 0; round < kRounds; ++round) {
        const std::string root = base + "/round" + std::to_string(round);
        const std::string copy = base + "/rm" + std::to_string(round);
        // Whatever earlier rounds left to write goes to the disk first.
        ::sync();
        if (runQuiet("cp -a " + quoted(templateRoot) + " " + quoted(root)) != 0 ||
            runQuiet("cp -a " + quoted(templateRoot + cacheBelowC) + " " + quoted(copy)) != 0)
            return 1;
        const auto cleaning = [&] {
            return run({g_buildDir + "/surfkolibri", "cbhme"},
                       {"SURFKOLIBRI_PLATFORM=" + root, "QT_QPA_PLATFORM=offscreen",
                        "SURFKOLIBRI_SHELL_EXECUTE=record"});
        };
        const auto removal = [&] { return runQuiet("rm -rf " + quoted(copy)); };
        int programStatus = 0;
        int rmStatus = 0;
        // Alternating the order keeps the file system's state from favouring one side.
        double programCpu = 0;
        double rmCpu = 0;
        if (round % 2 == 0) {
            program.push_back(millisecondsOf(cleaning, programStatus, programCpu));
            rm.push_back(millisecondsOf(removal, rmStatus, rmCpu));
        } else {
            rm.push_back(millisecondsOf(removal, rmStatus, rmCpu));
            program.push_back(millisecondsOf(cleaning, programStatus, programCpu));
        }
        // What is left: the entries of pages open in a browser, which are locked.
        platform::useRoot(platform::HostPath(root));
        std::size_t left = 0;
        for (const auto& r : platform::urlcache::list(platform::urlcache::Container::Content))
            left += r.lockCount == 0;
        platform::closeRoot();
        std::size_t files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(root + cacheBelowC))
            files += entry.is_regular_file();
        if (programStatus != 0 || rmStatus != 0 || left != 0 || fs::exists(copy)) {
            std::fprintf(stderr, "round %d: the program ended with %d and left %zu entries\n",
                         round + 1, programStatus, left);
            return 1;
        }
        std::printf("round %d: surfkolibri cbhme %.0f ms (cpu %.0f ms; %zu locked files stay), "
                    "rm -rf %.0f ms (cpu %.0f ms)\n",
                    round + 1, program.back(), programCpu, files, rm.back(), rmCpu);
        fs::remove_all(root, ec);
    }
    const double programMs = median(program);
    const double rmMs = median(rm);
    std::printf("unattended run cbhme (%d cache entries): %.0f ms, rm -rf of the same files: %.0f "
                "ms, ratio %.2f\n",
                kEntries, programMs, rmMs, programMs / rmMs);
    return 0;
}
