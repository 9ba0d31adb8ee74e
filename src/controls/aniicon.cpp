#include "controls/aniicon.h"

#include <QEnterEvent>
#include <QFile>
#include <QIODevice>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <string_view>

namespace {

// The smallest frame the reader accepts: a 32 x 32 icon file with 16 colours.
constexpr std::uint32_t smallestFrameChunk = 766;
constexpr std::uint32_t iconFileHeaderSize = 6 + 16;
// The sizes of the reader's tables and buffers; longer data are cut to them.
constexpr std::size_t textCapacity = 256;
constexpr std::size_t tableCapacity = 512;
constexpr std::size_t imageCapacity = 4096;
constexpr int defaultRateEntries = 81;

struct ReadPastEnd {};

struct ChunkHeader {
    std::string_view id;
    std::uint32_t size = 0;
};

std::uint32_t littleEndian32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}

// Reads forward through the raw data; reading past the end throws ReadPastEnd, which the
// decoder catches, so a broken file only ends the decoding.
class ChunkReader {
  public:
    explicit ChunkReader(const std::string& data) : data_(data) {}

    std::string_view take(std::uint64_t count) {
        if (count > remaining()) throw ReadPastEnd{};
        std::string_view bytes(data_.data() + pos_, count);
        pos_ += count;
        return bytes;
    }
    void skip(std::uint64_t count) { take(count); }
    std::uint32_t dword() { return littleEndian32(take(4).data()); }
    ChunkHeader header() {
        ChunkHeader h;
        h.id = take(4);
        h.size = dword();
        return h;
    }
    // A chunk's data, of which the reader keeps at most `capacity` bytes; the rest is passed.
    std::string_view data(std::uint64_t size, std::size_t capacity) {
        const std::uint64_t kept = std::min<std::uint64_t>(size, capacity);
        std::string_view bytes = take(kept);
        skip(size - kept);
        return bytes;
    }

  private:
    std::uint64_t remaining() const { return data_.size() - pos_; }

    const std::string& data_;
    std::size_t pos_ = 0;
};

// Identifiers are compared loosely: blanks and control bytes are dropped, and the tag only
// has to occur in what is left ("seq " is found as "seq").
bool tagMatches(std::string_view id, std::string_view tag) {
    std::string text;
    for (char c : id) {
        if (static_cast<unsigned char>(c) > 32) text += c;
    }
    return text.find(tag) != std::string::npos;
}

template <typename T, std::size_t N>
void fillTable(std::array<T, N>& table, std::string_view bytes) {
    // The bytes land in the table's little-endian image; a partial last entry keeps its high
    // bytes.
    for (std::size_t i = 0; i < bytes.size() && i / 4 < N; ++i) {
        const unsigned shift = 8 * (i % 4);
        auto value = static_cast<std::uint32_t>(table[i / 4]);
        value = (value & ~(0xFFu << shift)) | std::uint32_t(static_cast<unsigned char>(bytes[i]))
                                                  << shift;
        table[i / 4] = static_cast<T>(value);
    }
}

} // namespace

TAniIconFile::TAniIconFile() = default;

TAniIconFile::~TAniIconFile() {
    destroyFrames();
}

void TAniIconFile::LoadFromStream(QIODevice& stream) {
    LoadFromData(stream.readAll());
}

void TAniIconFile::LoadFromData(const std::string& data) {
    raw_ = data;
    decode();
    loaded_ = true;
}

void TAniIconFile::LoadFromData(const QByteArray& data) {
    LoadFromData(std::string(data.constData(), static_cast<std::size_t>(data.size())));
}

void TAniIconFile::ReadData(const QByteArray& data) {
    LoadFromData(data);
    if (OnFrameChange) OnFrameChange();
}

bool TAniIconFile::LoadFromResource(const QString& resourcePath) {
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    ReadData(file.readAll());
    return true;
}

void TAniIconFile::SaveToStream(QIODevice& stream) const {
    stream.write(raw_.data(), static_cast<qint64>(raw_.size()));
}

void TAniIconFile::Assign(const TAniIconFile* source) {
    if (source == this) return;
    if (source == nullptr) {
        loaded_ = false;
        raw_.clear();
        destroyFrames();
        current_ = 0;
        counter_ = 0;
        return;
    }
    raw_ = source->raw_;
    loaded_ = true;
    decode();
}

void TAniIconFile::SelectFrame(int index) {
    if (index < 0 || index >= MaxFrames || !frames_[index]) index = 0;
    current_ = index;
    counter_ = 0;
}

void TAniIconFile::Step() {
    counter_ += 2;
    if (rates_[current_] >= counter_) return;
    counter_ = 0;
    int next = current_ == MaxFrames - 1 ? 0 : current_ + 1;
    if (!frames_[next]) next = 0;
    current_ = next;
    if (OnFrameChange) OnFrameChange();
}

void TAniIconFile::Draw(HDC dc, const QRect& rect) const {
    if (frames_[current_]) DrawIcon(dc, rect.left(), rect.top(), frames_[current_].get());
}

void TAniIconFile::Draw(QPainter& painter, const QRect& rect) const {
    if (frames_[current_]) DrawIconOn(painter, rect.left(), rect.top(), frames_[current_].get());
}

int TAniIconFile::FrameCount() const {
    const auto firstEmpty =
        std::find_if(frames_.begin(), frames_.end(), [](const UniqueIcon& icon) { return !icon; });
    return static_cast<int>(firstEmpty - frames_.begin());
}

HICON TAniIconFile::FrameIcon(int slot) const {
    return slot >= 0 && slot < MaxFrames ? frames_[slot].get() : nullptr;
}

std::int32_t TAniIconFile::Rate(int index) const {
    return index >= 0 && index < TableEntries ? rates_[index] : 0;
}

std::uint32_t TAniIconFile::Sequence(int index) const {
    return index >= 0 && index < TableEntries ? sequence_[index] : 0;
}

void TAniIconFile::destroyFrames() {
    // Every slot, not only those before the first gap: a frame that failed to decode leaves a
    // gap with live icons behind it.
    for (UniqueIcon& icon : frames_)
        icon.reset();
}

void TAniIconFile::decode() {
    if (raw_.empty()) return;
    ChunkReader reader(raw_);
    bool readingFrames = false;
    try {
        reader.skip(8 + 4);
        ChunkHeader chunk = reader.header();
        if (!tagMatches(chunk.id, "anih")) {
            reader.skip(4);
            chunk = reader.header();
            if (!tagMatches(chunk.id, "anih")) {
                // The INFO list's title and author; read to pass them, not kept.
                reader.data((std::uint64_t(chunk.size) + 1) & ~std::uint64_t(1), textCapacity);
                chunk = reader.header();
                reader.data((std::uint64_t(chunk.size) + 1) & ~std::uint64_t(1), textCapacity);
                chunk = reader.header();
            }
        }
        const std::string_view fields = reader.take(36);
        auto field = [&](int index) { return littleEndian32(fields.data() + 4 * index); };
        header_ = TAniHeader{field(0), field(1), field(2), field(3), field(4),
                             field(5), field(6), field(7), field(8)};
        std::fill_n(rates_.begin(), defaultRateEntries,
                    static_cast<std::int32_t>(header_.DisplayRate));

        chunk = reader.header();
        if (tagMatches(chunk.id, "rate")) {
            fillTable(rates_, reader.data(chunk.size, tableCapacity));
            chunk = reader.header();
        }
        if (tagMatches(chunk.id, "seq")) {
            fillTable(sequence_, reader.data(chunk.size, tableCapacity));
            chunk = reader.header();
        }
        if (!tagMatches(chunk.id, "LIST")) return;
        reader.skip(4);
        destroyFrames();
        readingFrames = true;
        const int count = static_cast<int>(std::min<std::uint32_t>(header_.Frames, MaxFrames));
        for (int i = 0; i < count; ++i) {
            const ChunkHeader frame = reader.header();
            if (frame.size < smallestFrameChunk) break;
            const std::string_view directory = reader.take(iconFileHeaderSize);
            const std::uint32_t imageOffset = littleEndian32(directory.data() + 6 + 12);
            std::uint32_t size = frame.size;
            if (imageOffset > iconFileHeaderSize) {
                // An image said to start beyond its own frame is a broken file, not a frame.
                if (imageOffset >= size) break;
                reader.skip(imageOffset - iconFileHeaderSize);
                size -= imageOffset - iconFileHeaderSize;
            }
            std::string_view image = reader.data(size - iconFileHeaderSize, imageCapacity);
            std::string buffer(image);
            frames_[i].reset(CreateIconFromResource(reinterpret_cast<PBYTE>(buffer.data()),
                                                    static_cast<DWORD>(buffer.size()), TRUE,
                                                    ICON_RESOURCE_VERSION));
        }
    } catch (const ReadPastEnd&) {
        // A truncated file keeps the frames decoded before the fault.
    }
    if (readingFrames) {
        current_ = 0;
        counter_ = 0;
    }
}

TAniIcon::TAniIcon(QWidget* parent) : QWidget(parent), aniFile_(std::make_unique<TAniIconFile>()) {
    aniFile_->OnFrameChange = [this] { update(); };
    resize(TAniIconFile::FrameSize, TAniIconFile::FrameSize);
    frameTimer_.setInterval(20);
    connect(&frameTimer_, &QTimer::timeout, this, [this] { aniFile_->Step(); });
}

TAniIcon::~TAniIcon() {
    frameTimer_.stop();
}

void TAniIcon::setAniFile(const TAniIconFile* source) {
    aniFile_->Assign(source);
    update();
}

void TAniIcon::setAnimated(bool animated) {
    animated_ = animated;
    if (frameTimer_.isActive() == animated) return;
    if (frameTimer_.isActive())
        frameTimer_.stop();
    else
        frameTimer_.start();
}

void TAniIcon::setFrame(int frame) {
    aniFile_->SelectFrame(frame);
    frame_ = aniFile_->CurrentFrame();
    update();
}

void TAniIcon::setTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void TAniIcon::setCenter(bool center) {
    center_ = center;
    update();
}

void TAniIcon::setButtonStyle(bool buttonStyle) {
    buttonStyle_ = buttonStyle;
    update();
}

void TAniIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Left unpainted, a child widget shows its parent's picture underneath.
    if (!transparent_) painter.fillRect(rect(), palette().color(backgroundRole()));
    const QPoint origin = center_ ? QPoint((width() - TAniIconFile::FrameSize) / 2,
                                           (height() - TAniIconFile::FrameSize) / 2)
                                  : QPoint(0, 0);
    aniFile_->Draw(painter, QRect(origin, QSize(aniFile_->Width(), aniFile_->Height())));
    if (buttonStyle_ && (pressed_ || hovered_)) {
        const QColor gray(0x80, 0x80, 0x80);
        const QColor white(0xFF, 0xFF, 0xFF);
        const int right = width() - 1;
        const int bottom = height() - 1;
        painter.setPen(pressed_ ? gray : white);
        painter.drawLine(0, 0, right - 1, 0);
        painter.drawLine(0, 0, 0, bottom - 1);
        painter.setPen(pressed_ ? white : gray);
        painter.drawLine(right, 0, right, bottom);
        painter.drawLine(0, bottom, right, bottom);
    }
}

void TAniIcon::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (animateOnEnter_ && isEnabled()) setAnimated(true);
    hovered_ = true;
    update();
}

void TAniIcon::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (animateOnEnter_ && isEnabled()) setAnimated(false);
    hovered_ = false;
    update();
}

void TAniIcon::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    clickArmed_ = true;
    if (buttonStyle_) update();
}

void TAniIcon::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    pressed_ = false;
    if (buttonStyle_) update();
    if (event->button() == Qt::LeftButton && clickArmed_) {
        clickArmed_ = false;
        if (rect().contains(event->position().toPoint())) emit clicked();
    }
}

void TAniIcon::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    // The second press of a double-click shows pressed but is no second click.
    pressed_ = true;
    if (buttonStyle_) update();
    emit doubleClicked();
}
