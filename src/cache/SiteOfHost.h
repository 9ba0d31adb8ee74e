// The site a host name belongs to, by the public suffix list of the distribution's libpsl:
// what a user means by "this site's cookies" when a cookie came from one of its names.
#pragma once

#include <string>

// The registrable domain of a host, in lower case: "www.bank.example" gives "bank.example",
// "www.bbc.co.uk" gives "bbc.co.uk". The host itself (lower case) when it has none: an
// address, a single label, a public suffix such as "co.uk".
std::string SiteOfHost(const std::string& host);
// Whether `name` may stand on the keep-list for the cookies of `host`: a plausible host name
// that is the host or a name it lies below, and no wider than the host's site.
bool NamesHostsSite(const std::string& name, const std::string& host);
