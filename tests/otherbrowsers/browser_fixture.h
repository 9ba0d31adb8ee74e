// What the tests of today's browsers' cleanings share: snapshots of host folders to compare
// byte for byte, a program holding a lock file as a running browser does, and a machine with
// the browsers' folders where the browsers keep them (hosted platform only).
#pragma once

#include "browser_seed.h"
#include "platform/root.h"
#include "support/platform_fixture.h"
#include "support/sqlite_query.h"
#include "ui/CleaningResult.h"
#include "ui/MyTricks.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace browser_test {

namespace fs = std::filesystem;

using testing_support::readHostFile;
using testing_support::sqlite3Says;
using testing_support::writeHostFile;

const char* const kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The files that differ between two snapshots, by name (their bytes would fill the log).
inline std::vector<std::string> changed(const std::map<std::string, std::string>& a,
                                        const std::map<std::string, std::string>& b) {
    std::vector<std::string> names;
    for (const auto& [path, contents] : a)
        if (!b.count(path) || b.at(path) != contents) names.push_back(path);
    for (const auto& [path, contents] : b)
        if (!a.count(path)) names.push_back(path);
    return names;
}

// Every file below a host folder with its contents.
inline std::map<std::string, std::string> snapshot(const std::string& host) {
    std::map<std::string, std::string> files;
    if (!fs::exists(host)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(host))
        if (entry.is_regular_file())
            files[entry.path().string()] = readHostFile(entry.path().string());
    return files;
}

inline bool mentions(const CleaningResult& result, const std::string& text) {
    for (const std::string& note : result.notes)
        if (note.find(text) != std::string::npos) return true;
    return false;
}

// `skplatform hold` on the root, as a running browser holds its lock file; killed when it goes.
class RunningBrowser {
  public:
    RunningBrowser(const std::string& root, const std::string& lockFile) {
        int out[2];
        if (::pipe(out) != 0) return;
        platform::closeRoot();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::setenv("SURFKOLIBRI_PLATFORM", root.c_str(), 1);
            const std::string tool = std::string(SURFKOLIBRI_BUILD_DIR) + "/skplatform";
            ::execl(tool.c_str(), tool.c_str(), "hold", lockFile.c_str(), "--seconds", "600",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            said_ += c;
        ::close(out[0]);
    }
    ~RunningBrowser() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    RunningBrowser(const RunningBrowser&) = delete;
    RunningBrowser& operator=(const RunningBrowser&) = delete;
    bool holding() const { return said_.rfind("holding ", 0) == 0; }

  private:
    pid_t pid_ = -1;
    std::string said_;
};

// Another process holding a database (a host path) in an exclusive transaction, as a browser
// holds its databases while it writes; it lets go when told to, or when this goes.
class HeldDatabase {
  public:
    explicit HeldDatabase(const std::string& hostPath) {
        if (::pipe(ready_) != 0 || ::pipe(done_) != 0) return;
        platform::closeRoot();
        pid_ = ::fork();
        if (pid_ == 0) {
            sqlite3* db = nullptr;
            char c = 'x';
            if (sqlite3_open(hostPath.c_str(), &db) == SQLITE_OK &&
                sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
                c = 'y';
            if (::write(ready_[1], &c, 1) != 1 || ::read(done_[0], &c, 1) != 1) ::_exit(2);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            ::_exit(0);
        }
        char c = 0;
        held_ = ::read(ready_[0], &c, 1) == 1 && c == 'y';
    }
    ~HeldDatabase() {
        Release();
        for (int fd : {ready_[0], ready_[1], done_[0], done_[1]})
            if (fd >= 0) ::close(fd);
    }
    HeldDatabase(const HeldDatabase&) = delete;
    HeldDatabase& operator=(const HeldDatabase&) = delete;
    bool held() const { return held_; }
    // Lets go and waits for the process: its status, 0 when it held and let go as it should.
    int Release() {
        if (pid_ <= 0) return status_;
        const char c = 'z';
        if (::write(done_[1], &c, 1) != 1) ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
        pid_ = -1;
        return status_;
    }

  private:
    int ready_[2] = {-1, -1};
    int done_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool held_ = false;
    int status_ = -1;
};

class BrowserCleaningTest : public testing_support::PlatformTest {
  protected:
    const std::string roaming = platform.hostPath(ReadUserRegString(kShellFolders, "AppData"));
    const std::string local = platform.hostPath(ReadUserRegString(kShellFolders, "Local AppData"));
    const std::string firefox = roaming + "/Mozilla/Firefox";
    const std::string firefoxProfiles = firefox + "/Profiles/";
    const std::string firefoxCache = local + "/Mozilla/Firefox/Profiles/";
    const std::string chrome = local + "/Google/Chrome/User Data";
    const std::string edge = local + "/Microsoft/Edge/User Data";
    browser_seed::Sizes sizes = [] {
        browser_seed::Sizes s;
        s.places = 120;
        s.visits = 600;
        s.bookmarks = 30;
        s.cookies = 90;
        s.sites = 30;
        s.cacheFiles = 40;
        s.formEntries = 10;
        return s;
    }();

    void seedFirefox(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            browser_seed::firefoxProfile(firefoxProfiles + name, firefoxCache + name, sizes);
        browser_seed::firefoxProfilesIni(firefox, names);
    }
    void seedChromium(const std::string& data, const std::vector<std::string>& names) {
        for (const std::string& name : names)
            browser_seed::chromeProfile(data + "/" + name, sizes);
        browser_seed::chromeLocalState(data, names);
    }
    // Leaves `db` as a browser killed in the middle of `sql` leaves it: the database and its
    // `log` ("-wal" or "-journal") copied while the change was open, then put in their place.
    static void crashDuring(const std::string& db, const std::string& sql, const std::string& log) {
        const std::string crashed = db + ".crashed";
        sqlite3* connection = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(db.c_str(), &connection));
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(connection, sql.c_str(), nullptr, nullptr, nullptr));
        fs::copy_file(db, crashed);
        fs::copy_file(db + log, crashed + log);
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(connection);
        fs::rename(crashed, db);
        fs::rename(crashed + log, db + log);
    }
    static std::string count(const std::string& db, const std::string& table,
                             const std::string& where = "") {
        return sqlite3Says(db, "SELECT count(*) FROM " + table +
                                   (where.empty() ? "" : " WHERE " + where));
    }
};

} // namespace browser_test
