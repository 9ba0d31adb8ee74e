// The user's short date and long time formats in the framework's pattern letters
// (d dd M MM yy yyyy H HH h hh m mm s ss t tt). The hosted platform keeps them as settings of
// the root; Windows has them in the user's locale.
#pragma once

#include <string>

namespace platform {

std::string shortDateFormat();
std::string longTimeFormat();

} // namespace platform
