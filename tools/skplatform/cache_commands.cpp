// cache and history commands, and the cache part of seed-demo.
#include "commands.h"

#include <cstdio>

namespace skplatform {

int runCache(const Args&) {
    std::fprintf(stderr, "skplatform cache: the URL cache is not hosted yet\n");
    return 1;
}

int runHistory(const Args&) {
    std::fprintf(stderr, "skplatform history: the URL history is not hosted yet\n");
    return 1;
}

void seedDemoCache() {}

} // namespace skplatform
