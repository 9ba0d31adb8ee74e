// The commands of skplatform. Each takes the arguments after its own name and returns the
// process exit code; errors are printed to stderr naming the bad input.
#pragma once

#include <string>
#include <vector>

namespace skplatform {

using Args = std::vector<std::string>;

int runInit(const Args& args);
int runSettings(const Args& args);
int runReg(const Args& args);
int runLs(const Args& args);
int runCat(const Args& args);
int runSeedDemo(const Args& args);
int runCache(const Args& args);
int runHistory(const Args& args);
int runLnk(const Args& args);
int runHold(const Args& args);

// Parts of seed-demo kept with the commands they belong to.
void seedDemoCache();
// `pages` more cache entries of pages, each with its file, in the cache's folders.
void seedManyPages(int pages);
// Today's browsers; `large` gives each database tens of thousands of rows.
void seedDemoBrowsers(bool large = false);

bool wantsHelp(const Args& args);

} // namespace skplatform
