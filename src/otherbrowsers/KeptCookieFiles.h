// The cookie files of the other browsers, cleaned around the keep-list: what belongs to a
// kept site stays. Plain logic over the platform; the profile cleanings call it.
#pragma once

#include "cache/KeepCookies.h"
#include "ui/CleaningResult.h"

#include <string>

// A Netscape-format cookies.txt (Mozilla, Netscape, old Firefox): one cookie a line, seven
// fields separated by tabs, the host first ("#HttpOnly_" before it marks a cookie, not a
// comment).
// - No line of a kept site in it: the file is deleted, whatever else it holds, as the
//   cleaning did before there was a keep-list.
// - Lines of kept sites and none of other sites: the file is left alone.
// - Both: it is written anew without the other sites' lines. The kept sites' lines stay byte
//   for byte, and so do comments, blank lines and every line that is no cookie in that sense
//   (fewer than seven fields, no plausible host). The new contents go into a file beside it
//   first, which then replaces it in one step, so that a failed write (a full disk, a
//   read-only file) leaves it as it was.
// While the keep-list is unreadable the file is left alone. Counts lines: removed (with their
// bytes; a deleted file counts its lines that were no comment, at least one, and all its
// bytes), kept (the kept sites' cookies); a failure names the file. A missing file is nothing
// to clean. Preview counts the same and changes nothing.
CleaningResult CleanCookiesTxt(const std::string& path, const TKeepCookies& keep,
                               CleaningMode mode);

// Opera's binary cookies4.dat, which is not taken apart: it is deleted only when it holds
// no kept site's name (the whole name, or every part of it as Opera writes a domain one part
// a record, compared without regard to case); otherwise it stays and counts as one kept item.
// Removed counts the file and its bytes. While the keep-list is unreadable it always stays.
CleaningResult CleanOperaCookies(const std::string& path, const TKeepCookies& keep,
                                 CleaningMode mode);

// The one of the two that the file's name calls for: Opera's "cookies4.dat", else the
// Netscape format.
CleaningResult CleanCookieFile(const std::string& path, const TKeepCookies& keep,
                               CleaningMode mode);
