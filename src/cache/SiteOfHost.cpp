#include "cache/SiteOfHost.h"

#include "cache/KeepCookies.h"

#include <libpsl.h>

namespace {

// A numeric address has no registrable domain, whatever its last two numbers look like.
bool isAddress(const std::string& host) {
    return host.find_first_not_of("0123456789.") == std::string::npos ||
           host.find(':') != std::string::npos;
}

} // namespace

std::string SiteOfHost(const std::string& host) {
    const std::string name = KeepSiteName(host);
    if (name.empty() || isAddress(name)) return name;
    // The list built into the library: the same answer on every machine, no file read.
    const char* site = psl_registrable_domain(psl_builtin(), name.c_str());
    return site ? std::string(site) : name;
}

bool NamesHostsSite(const std::string& name, const std::string& host) {
    const std::string wanted = KeepSiteName(name);
    const std::string from = KeepSiteName(host);
    return !wanted.empty() && !from.empty() && KeepSiteCovers(wanted, from) &&
           KeepSiteCovers(SiteOfHost(from), wanted);
}
