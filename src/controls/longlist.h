// A list box that shows an item too wide for it in full, in a read-only box laid over the item
// while the mouse rests on it.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

class TLongListbox;

// The hint box: read-only, never focused, and transparent to clicks, which reach the list.
class TLongEdit : public QLineEdit {
    Q_OBJECT
  public:
    TLongEdit(TLongListbox* list, QWidget* parent);

    TLongListbox* List() const { return list_; }

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool forwardToList(QMouseEvent* event);

    TLongListbox* list_;
};

class TLongListbox : public QListWidget {
    Q_OBJECT
  public:
    explicit TLongListbox(QWidget* parent = nullptr);
    ~TLongListbox() override;

    bool OnlyWhenFocused() const { return onlyWhenFocused_; }
    void setOnlyWhenFocused(bool onlyWhenFocused) { onlyWhenFocused_ = onlyWhenFocused; }
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& color) { backColor_ = color; }
    QColor TextColor() const { return textColor_; }
    void setTextColor(const QColor& color) { textColor_ = color; }

    // The hint box now shown, or nullptr.
    TLongEdit* HintBox() const { return hint_; }

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void removeHint();

    bool onlyWhenFocused_ = false;
    QColor backColor_{255, 255, 234};
    QColor textColor_{0, 0, 0};
    QPointer<TLongEdit> hint_;
    int lastHovered_ = -1;
};
