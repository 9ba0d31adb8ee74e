#include "support/sqlite_query.h"

#include <cstdio>

namespace testing_support {

std::string sqlite3Says(const std::string& hostPath, const std::string& query) {
    const std::string command =
        "sqlite3 -batch -noheader '" + hostPath + "' \"" + query + "\" 2>&1";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

} // namespace testing_support
