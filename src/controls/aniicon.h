// Animated icons: the animated-cursor (RIFF "ACON") reader and the control that shows it.
#pragma once

#include "platform/gui/icons.h"

#include <QByteArray>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QIODevice;
class QPainter;

// The nine fields of the "anih" chunk.
struct TAniHeader {
    std::uint32_t HeaderSize = 0;
    std::uint32_t Frames = 0;
    std::uint32_t Steps = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t BitCount = 0;
    std::uint32_t Planes = 0;
    std::uint32_t DisplayRate = 0;
    std::uint32_t Flags = 0;
};

// Holds an animated-cursor file as raw bytes, decodes up to 64 of its frames into icons and
// steps through them.
class TAniIconFile {
  public:
    static constexpr int MaxFrames = 64;
    static constexpr int TableEntries = 128;
    static constexpr int FrameSize = 32;

    TAniIconFile();
    ~TAniIconFile();
    TAniIconFile(const TAniIconFile&) = delete;
    TAniIconFile& operator=(const TAniIconFile&) = delete;

    // Takes the rest of the stream (or the given bytes) as the raw data and decodes it.
    void LoadFromStream(QIODevice& stream);
    void LoadFromData(const std::string& data);
    void LoadFromData(const QByteArray& data);
    // The path a stored window definition takes: like loading, then the frame-change
    // notification, so that a control shows the new animation at once.
    void ReadData(const QByteArray& data);
    // Reads a compiled-in animation (":/res/home.ani") the same way; false when it is missing.
    bool LoadFromResource(const QString& resourcePath);
    // Writes the raw data unchanged.
    void SaveToStream(QIODevice& stream) const;
    const std::string& Data() const { return raw_; }

    // Copies the other file's data and decodes it; nullptr empties this one.
    void Assign(const TAniIconFile* source);

    // An index outside 0..63 or naming an empty slot selects frame 0.
    void SelectFrame(int index);
    // One 20 ms tick of the animation.
    void Step();
    // Draws the current frame at the rectangle's top-left corner at its own size.
    void Draw(HDC dc, const QRect& rect) const;
    void Draw(QPainter& painter, const QRect& rect) const;

    bool Empty() const { return false; }
    int Width() const { return FrameSize; }
    int Height() const { return FrameSize; }
    bool Loaded() const { return loaded_; }
    int CurrentFrame() const { return current_; }
    // Decoded frames counted from slot 0 up to the first empty slot: the ones that play.
    int FrameCount() const;
    HICON FrameIcon(int slot) const;
    std::int32_t Rate(int index) const;
    std::uint32_t Sequence(int index) const;
    const TAniHeader& Header() const { return header_; }

    std::function<void()> OnFrameChange;

  private:
    void decode();
    void destroyFrames();

    std::array<UniqueIcon, MaxFrames> frames_{};
    std::array<std::int32_t, TableEntries> rates_{};
    std::array<std::uint32_t, TableEntries> sequence_{};
    TAniHeader header_;
    std::string raw_;
    bool loaded_ = false;
    int current_ = 0;
    int counter_ = 0;
};

// A 32 x 32 control showing the current frame of its animation, stepped every 20 ms while
// Animated; optionally transparent over its parent, centred, or drawn as a flat button.
class TAniIcon : public QWidget {
    Q_OBJECT
  public:
    explicit TAniIcon(QWidget* parent = nullptr);
    ~TAniIcon() override;

    TAniIconFile* AniFile() const { return aniFile_.get(); }
    void setAniFile(const TAniIconFile* source);
    bool Animated() const { return animated_; }
    void setAnimated(bool animated);
    bool AnimateOnEnter() const { return animateOnEnter_; }
    void setAnimateOnEnter(bool animateOnEnter) { animateOnEnter_ = animateOnEnter; }
    int Frame() const { return frame_; }
    void setFrame(int frame);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool Center() const { return center_; }
    void setCenter(bool center);
    bool ButtonStyle() const { return buttonStyle_; }
    void setButtonStyle(bool buttonStyle);

    bool TimerRunning() const { return frameTimer_.isActive(); }
    bool Hovered() const { return hovered_; }
    bool Pressed() const { return pressed_; }

  signals:
    // A left-button click: press and release inside the control.
    void clicked();
    void doubleClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    std::unique_ptr<TAniIconFile> aniFile_;
    QTimer frameTimer_;
    bool animated_ = false;
    bool animateOnEnter_ = false;
    int frame_ = 0;
    bool transparent_ = false;
    bool center_ = false;
    bool buttonStyle_ = false;
    bool hovered_ = false;
    bool pressed_ = false;
    // Only a left press arms a click, whatever other buttons do meanwhile.
    bool clickArmed_ = false;
};
