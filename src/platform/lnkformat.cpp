// Reading and writing the shell link binary file format. Every read is checked against the
// bytes that are there; a structure that claims more than it holds makes the link invalid.
#include "platform/lnkformat.h"

#include "platform/ansi.h"

#include <cstring>
#include <utility>

namespace platform::lnk {
namespace {

constexpr DWORD kHeaderSize = 0x4C;
const BYTE kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// LinkFlags.
constexpr DWORD kHasLinkTargetIdList = 0x00000001;
constexpr DWORD kHasLinkInfo = 0x00000002;
constexpr DWORD kHasName = 0x00000004;
constexpr DWORD kHasRelativePath = 0x00000008;
constexpr DWORD kHasWorkingDir = 0x00000010;
constexpr DWORD kHasArguments = 0x00000020;
constexpr DWORD kHasIconLocation = 0x00000040;
constexpr DWORD kIsUnicode = 0x00000080;
constexpr DWORD kForceNoLinkInfo = 0x00000100;
constexpr DWORD kHasExpString = 0x00000200;

// LinkInfo.
constexpr DWORD kLinkInfoHeaderSize = 0x1C;
constexpr DWORD kLinkInfoUnicodeHeaderSize = 0x24;
constexpr DWORD kVolumeIdAndLocalBasePath = 0x1;
constexpr DWORD kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr DWORD kVolumeIdHeaderSize = 0x10;
constexpr DWORD kDriveFixed = 3;

// Extra data.
constexpr DWORD kEnvironmentBlockSignature = 0xA0000001;
constexpr DWORD kEnvironmentBlockSize = 0x314;

constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
constexpr int kShowMinNoActive = 7;

// Bounds-checked little-endian reads over a span of the file.
class Reader {
  public:
    Reader(const std::string& bytes, std::size_t begin, std::size_t end)
        : data_(reinterpret_cast<const BYTE*>(bytes.data())), pos_(begin), end_(end) {}

    std::size_t position() const { return pos_; }
    std::size_t left() const { return end_ - pos_; }
    bool skip(std::size_t n) {
        if (n > left()) return false;
        pos_ += n;
        return true;
    }
    bool word(WORD& value) {
        if (left() < 2) return false;
        value = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool dword(DWORD& value) {
        if (left() < 4) return false;
        value = DWORD(data_[pos_]) | DWORD(data_[pos_ + 1]) << 8 | DWORD(data_[pos_ + 2]) << 16 |
                DWORD(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool fileTime(FILETIME& value) {
        return dword(value.dwLowDateTime) && dword(value.dwHighDateTime);
    }
    bool bytes(std::size_t n, std::string& out) {
        if (n > left()) return false;
        out.assign(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return true;
    }

  private:
    const BYTE* data_;
    std::size_t pos_;
    std::size_t end_;
};

// A zero-ended ANSI text starting at `at` that must end before `end`.
bool ansiTextAt(const std::string& bytes, std::size_t at, std::size_t end, std::string& text) {
    if (at >= end) return false;
    const auto zero = bytes.find('\0', at);
    if (zero == std::string::npos || zero >= end) return false;
    text = bytes.substr(at, zero - at);
    return true;
}

bool wideTextAt(const std::string& bytes, std::size_t at, std::size_t end, std::string& text) {
    std::u16string wide;
    for (std::size_t p = at; p + 1 < end; p += 2) {
        const auto c = static_cast<char16_t>(static_cast<BYTE>(bytes[p]) |
                                             (static_cast<BYTE>(bytes[p + 1]) << 8));
        if (c == 0) {
            text = WideToAnsi(wide);
            return true;
        }
        wide.push_back(c);
    }
    return false;
}

bool readIdList(Reader& r, std::string& idList) {
    WORD size = 0;
    if (!r.word(size) || size < 2 || size > r.left()) return false;
    std::string list;
    if (!r.bytes(size, list)) return false;
    // Every item must lie inside the list and the terminator must close it.
    std::size_t pos = 0;
    for (;;) {
        if (pos + 2 > list.size()) return false;
        const WORD cb = static_cast<WORD>(static_cast<BYTE>(list[pos]) |
                                          (static_cast<BYTE>(list[pos + 1]) << 8));
        if (cb == 0) break;
        if (cb < 2 || pos + cb + 2 > list.size()) return false;
        pos += cb;
    }
    idList = list.substr(0, pos + 2);
    return true;
}

bool readLinkInfo(const std::string& bytes, Reader& r, std::string& localPath) {
    const std::size_t start = r.position();
    DWORD size = 0;
    DWORD headerSize = 0;
    DWORD flags = 0;
    DWORD volumeIdOffset = 0;
    DWORD localBasePathOffset = 0;
    DWORD networkOffset = 0;
    DWORD suffixOffset = 0;
    if (!r.dword(size) || size < kLinkInfoHeaderSize || size - 4 > r.left()) return false;
    const std::size_t end = start + size;
    if (!r.dword(headerSize) || !r.dword(flags) || !r.dword(volumeIdOffset) ||
        !r.dword(localBasePathOffset) || !r.dword(networkOffset) || !r.dword(suffixOffset))
        return false;
    if (headerSize != kLinkInfoHeaderSize &&
        (headerSize < kLinkInfoUnicodeHeaderSize || headerSize >= size))
        return false;
    DWORD localBasePathOffsetUnicode = 0;
    DWORD suffixOffsetUnicode = 0;
    if (headerSize >= kLinkInfoUnicodeHeaderSize &&
        (!r.dword(localBasePathOffsetUnicode) || !r.dword(suffixOffsetUnicode)))
        return false;
    auto inside = [&](DWORD offset) { return offset >= headerSize && offset < size; };

    std::string base;
    std::string suffix;
    if (flags & kVolumeIdAndLocalBasePath) {
        if (!inside(volumeIdOffset) || !inside(localBasePathOffset)) return false;
        Reader volume(bytes, start + volumeIdOffset, end);
        DWORD volumeSize = 0;
        if (!volume.dword(volumeSize) || volumeSize <= kVolumeIdHeaderSize ||
            volumeSize > size - volumeIdOffset)
            return false;
        if (!ansiTextAt(bytes, start + localBasePathOffset, end, base)) return false;
        if (headerSize >= kLinkInfoUnicodeHeaderSize && localBasePathOffsetUnicode != 0) {
            if (!inside(localBasePathOffsetUnicode) ||
                !wideTextAt(bytes, start + localBasePathOffsetUnicode, end, base))
                return false;
        }
    }
    if (flags & kCommonNetworkRelativeLinkAndPathSuffix) {
        // Network targets are not followed here, but the structure must still be whole.
        if (!inside(networkOffset)) return false;
        Reader network(bytes, start + networkOffset, end);
        DWORD networkSize = 0;
        if (!network.dword(networkSize) || networkSize < 0x14 || networkSize > size - networkOffset)
            return false;
    }
    if (!inside(suffixOffset) || !ansiTextAt(bytes, start + suffixOffset, end, suffix))
        return false;
    if (headerSize >= kLinkInfoUnicodeHeaderSize && suffixOffsetUnicode != 0) {
        if (!inside(suffixOffsetUnicode) ||
            !wideTextAt(bytes, start + suffixOffsetUnicode, end, suffix))
            return false;
    }
    if (!base.empty()) {
        localPath = base;
        if (!suffix.empty() && localPath.back() != '\\') localPath += '\\';
        localPath += suffix;
    }
    return r.skip(end - r.position());
}

bool readString(Reader& r, bool unicode, std::string& text) {
    WORD count = 0;
    if (!r.word(count)) return false;
    std::string raw;
    if (!r.bytes(static_cast<std::size_t>(count) * (unicode ? 2 : 1), raw)) return false;
    if (!unicode) {
        text = raw;
        return true;
    }
    std::u16string wide;
    for (std::size_t i = 0; i < raw.size(); i += 2)
        wide.push_back(static_cast<char16_t>(static_cast<BYTE>(raw[i]) |
                                             (static_cast<BYTE>(raw[i + 1]) << 8)));
    text = WideToAnsi(wide);
    return true;
}

bool readExtraData(const std::string& bytes, Reader& r, std::string& environmentPath) {
    for (;;) {
        const std::size_t start = r.position();
        DWORD size = 0;
        if (!r.dword(size)) return false;
        if (size < 4) return true; // the terminal block
        DWORD signature = 0;
        if (size < 8 || size - 4 > r.left() || !r.dword(signature)) return false;
        if (signature == kEnvironmentBlockSignature) {
            if (size != kEnvironmentBlockSize) return false;
            std::string ansi;
            std::string unicode;
            const bool haveAnsi = ansiTextAt(bytes, start + 8, start + 8 + 260, ansi);
            const bool haveWide = wideTextAt(bytes, start + 8 + 260, start + size, unicode);
            if (!haveAnsi && !haveWide) return false;
            environmentPath = haveWide && !unicode.empty() ? unicode : ansi;
        }
        if (!r.skip(start + size - r.position())) return false;
    }
}

int knownShowCommand(DWORD value) {
    const int show = static_cast<int>(value);
    return show == kShowMaximized || show == kShowMinNoActive ? show : kShowNormal;
}

void putWord(std::string& out, WORD value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void putDword(std::string& out, DWORD value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void setDwordAt(std::string& out, std::size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putWideString(std::string& out, const std::string& ansi) {
    const std::u16string wide = AnsiToWide(ansi);
    putWord(out, static_cast<WORD>(wide.size()));
    for (char16_t c : wide)
        putWord(out, static_cast<WORD>(c));
}

// A volume serial number that stays the same for the same drive.
DWORD serialOf(char drive) {
    return 0x1C0A0000u | static_cast<BYTE>(drive);
}

std::string linkInfoFor(const std::string& path) {
    std::string info;
    putDword(info, 0); // size, set below
    putDword(info, kLinkInfoHeaderSize);
    putDword(info, kVolumeIdAndLocalBasePath);
    putDword(info, kLinkInfoHeaderSize); // the volume follows the header
    putDword(info, 0);                   // local base path offset, set below
    putDword(info, 0);                   // no network link
    putDword(info, 0);                   // common path suffix offset, set below
    // VolumeID: size, drive type, serial number, label offset, and an empty label.
    putDword(info, kVolumeIdHeaderSize + 1);
    putDword(info, kDriveFixed);
    putDword(info, serialOf(path[0]));
    putDword(info, kVolumeIdHeaderSize);
    info += '\0';
    setDwordAt(info, 16, static_cast<DWORD>(info.size()));
    info += path;
    info += '\0';
    setDwordAt(info, 24, static_cast<DWORD>(info.size()));
    info += '\0'; // the whole path is the base; the suffix is empty
    setDwordAt(info, 0, static_cast<DWORD>(info.size()));
    return info;
}

bool isLocalPath(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

} // namespace

bool parse(const std::string& bytes, LinkData& link) {
    if (bytes.size() < kHeaderSize || bytes.size() > kLargestFile) return false;
    Reader r(bytes, 0, bytes.size());
    DWORD headerSize = 0;
    r.dword(headerSize);
    if (headerSize != kHeaderSize || std::memcmp(bytes.data() + 4, kLinkClsid, 16) != 0)
        return false;
    r.skip(16);
    LinkData out;
    DWORD flags = 0;
    DWORD iconIndex = 0;
    DWORD showCommand = 0;
    r.dword(flags);
    r.dword(out.fileAttributes);
    r.fileTime(out.creationTime);
    r.fileTime(out.accessTime);
    r.fileTime(out.writeTime);
    r.dword(out.fileSize);
    r.dword(iconIndex);
    r.dword(showCommand);
    r.word(out.hotKey);
    r.skip(10); // reserved
    out.iconIndex = static_cast<int>(iconIndex);
    out.showCommand = knownShowCommand(showCommand);

    if ((flags & kHasLinkTargetIdList) && !readIdList(r, out.idList)) return false;
    if (flags & kHasLinkInfo) {
        std::string localPath;
        if (!readLinkInfo(bytes, r, localPath)) return false;
        if (!(flags & kForceNoLinkInfo)) out.localPath = localPath;
    }
    const bool unicode = flags & kIsUnicode;
    const std::pair<DWORD, std::string*> strings[] = {
        {kHasName, &out.description},
        {kHasRelativePath, &out.relativePath},
        {kHasWorkingDir, &out.workingDirectory},
        {kHasArguments, &out.arguments},
        {kHasIconLocation, &out.iconLocation},
    };
    for (const auto& [flag, text] : strings)
        if ((flags & flag) && !readString(r, unicode, *text)) return false;
    std::string environmentPath;
    if (!readExtraData(bytes, r, environmentPath)) return false;
    if (flags & kHasExpString) out.environmentPath = environmentPath;
    link = std::move(out);
    return true;
}

std::string serialize(const LinkData& link) {
    DWORD flags = kIsUnicode;
    if (!link.idList.empty()) flags |= kHasLinkTargetIdList;
    if (isLocalPath(link.localPath)) flags |= kHasLinkInfo;
    if (!link.description.empty()) flags |= kHasName;
    if (!link.relativePath.empty()) flags |= kHasRelativePath;
    if (!link.workingDirectory.empty()) flags |= kHasWorkingDir;
    if (!link.arguments.empty()) flags |= kHasArguments;
    if (!link.iconLocation.empty()) flags |= kHasIconLocation;

    std::string out;
    putDword(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    putDword(out, flags);
    putDword(out, link.fileAttributes);
    for (const FILETIME& t : {link.creationTime, link.accessTime, link.writeTime}) {
        putDword(out, t.dwLowDateTime);
        putDword(out, t.dwHighDateTime);
    }
    putDword(out, link.fileSize);
    putDword(out, static_cast<DWORD>(link.iconIndex));
    putDword(out, static_cast<DWORD>(link.showCommand));
    putWord(out, link.hotKey);
    out.append(10, '\0');

    if (flags & kHasLinkTargetIdList) {
        putWord(out, static_cast<WORD>(link.idList.size()));
        out += link.idList;
    }
    if (flags & kHasLinkInfo) out += linkInfoFor(link.localPath);
    for (const std::string* text : {&link.description, &link.relativePath, &link.workingDirectory,
                                    &link.arguments, &link.iconLocation})
        if (!text->empty()) putWideString(out, *text);
    putDword(out, 0); // the terminal block
    return out;
}

} // namespace platform::lnk
