// What the distribution's sqlite3 program says about a database on the host: the check of the
// browsers' databases from outside the program (hosted tests only).
#pragma once

#include <string>

namespace testing_support {

// The output of a query on a host file, the trailing newline cut.
std::string sqlite3Says(const std::string& hostPath, const std::string& query);

} // namespace testing_support
