// Windows paths on the hosted platform: drive C: under the platform root, Z: the host's "/".
#pragma once

#include "platform/hostpath.h"
#include "platform/result.h"
#include "platform/win32_types.h"

#include <string>

namespace platform {

// Maps a Windows path (absolute, drive-relative or relative to the current directory) to a
// host path. Each component is looked up ignoring case (the exact name wins); components
// that do not exist keep the spelling given. Fails with ERROR_PATH_NOT_FOUND for a path
// that leaves its drive or names an unknown drive, ERROR_BAD_NETPATH for a network path
// naming a server and a share (the hosted machine reaches none, as Windows answers for a
// server out of reach), ERROR_BAD_PATHNAME for any other path beginning with two
// backslashes, ERROR_INVALID_NAME for a name holding a character that Windows forbids (<>:"|?* and
// control characters).
Result<HostPath> resolvePath(const std::string& windowsPath);

// The host path exactly as the Windows path spells it, without looking at the disk; fails as
// resolvePath does for a path it cannot map. A caller that finds nothing there looks again
// with resolvePath, which also finds names spelled in another case.
Result<HostPath> spelledHostPath(const std::string& windowsPath);

// The Windows path of a host path: "C:\..." inside drive C:, otherwise "Z:\...".
std::string windowsPathOf(const HostPath& hostPath);

// Normalised absolute Windows path (drive letter upper case, no "." or ".."), as given
// otherwise; empty when the path leaves its drive.
std::string fullWindowsPath(const std::string& windowsPath);

DWORD errorFromErrno(int err, bool parentMissing = false);

} // namespace platform
