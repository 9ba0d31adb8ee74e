#include "ui/CleaningResult.h"

#include <algorithm>

StayReason ReasonOf(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return StayReason::InUse;
    case ERROR_ACCESS_DENIED:
        return StayReason::AccessDenied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return StayReason::NotFound;
    default:
        return StayReason::Other;
    }
}

std::string PrintableText(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // Windows-1252 defines neither the C0 controls and DEL nor these five bytes, which
        // read as C1 controls when converted.
        if (byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
            byte == 0x90 || byte == 0x9D)
            c = '?';
    }
    return text;
}

void CleaningResult::Failed(const std::string& name, DWORD error, StayReason reason) {
    ++notRemoved;
    switch (reason) {
    case StayReason::InUse:
        ++inUse;
        break;
    case StayReason::AccessDenied:
        ++accessDenied;
        break;
    case StayReason::NotFound:
        ++notFound;
        break;
    case StayReason::Other:
        break;
    }
    if (failures.size() < kNamedFailures) failures.push_back({PrintableText(name), error, reason});
}

CleaningResult& CleaningResult::operator+=(const CleaningResult& other) {
    removed += other.removed;
    removedBytes += other.removedBytes;
    kept += other.kept;
    notRemoved += other.notRemoved;
    inUse += other.inUse;
    accessDenied += other.accessDenied;
    notFound += other.notFound;
    for (const Failure& failure : other.failures)
        if (failures.size() < kNamedFailures) failures.push_back(failure);
    notes.insert(notes.end(), other.notes.begin(), other.notes.end());
    for (const Share& share : other.shares) {
        const auto same = std::find_if(shares.begin(), shares.end(),
                                       [&](const Share& s) { return s.name == share.name; });
        if (same == shares.end()) {
            shares.push_back(share);
            continue;
        }
        same->removed += share.removed;
        same->removedBytes += share.removedBytes;
        same->kept += share.kept;
        same->notRemoved += share.notRemoved;
    }
    return *this;
}
