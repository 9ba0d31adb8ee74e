// The browser cache page: lists the URLs of the cached entries with their number and total
// size, previews the selected entry's file, and empties the cache.
#pragma once

#include "ui/SectionPanel.h"

#include <QGroupBox>
#include <QListWidget>

#include <cstdint>
#include <string>

class TIECache;
class TWebBrowser;

class BrowsercachePanel : public SectionPanel {
    Q_OBJECT
  public:
    // The page drives the main window's cache component.
    BrowsercachePanel(QWidget* parent, TIECache* cache);

    TRichEdit* RichEdit4;
    TMemo* Memo4;
    QGroupBox* GroupBox8; // "Gespeicherte Elemente im Browsercache: "
    QListWidget* ListBox2;
    TLabel* Label40; // "Vorschau:"
    QFrame* Panel10;
    TWebBrowser* WebBrowser1;
    TLabel* Label4;  // number of listed entries
    TLabel* Label42; // total size of the listed entries
    TLabel* Label41; // "entleeren"
    TImage* Image20;
    TBitBtn* BitBtn3;

    // Sum of the sizes of the entries listed since it was last set to 0. 64 bits, so that
    // caches beyond 2 GB are summed correctly.
    std::int64_t CacheTotalSize = 0;

    // The navigation button's part after the click sound and hiding the other pages: shows
    // the page and lists the cache.
    void ListCache();
    void IECache1Entry(TIECache* Sender, bool& Cancel);
    void ListBox2Click();
    void Label41Click();

    // How long ListBox2Click waits at most for a busy preview.
    static constexpr int kBusyWaitMs = 10000;

  private:
    void showTotals();
    TIECache* IECache1;
};
