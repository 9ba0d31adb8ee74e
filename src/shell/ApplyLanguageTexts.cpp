#include "shell/ApplyLanguageTexts.h"

#include "automation/AutoPanel.h"
#include "automation/u_runReport.h"
#include "cache/BrowsercachePanel.h"
#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "cache/u_keepCookies.h"
#include "cache/u_keepSite.h"
#include "controls/Dialogs.h"
#include "controls/stdctrls.h"
#include "favorites/FavoritenPanel.h"
#include "favorites/FavoritesListView.h"
#include "favorites/u_URLChangeForm.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserTexts.h"
#include "otherbrowsers/u_otherBrowsers.h"
#include "platform/gui/dialog_texts.h"
#include "platform/qt/ansi_qstring.h"
#include "settings/BrowseForFolder.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/AboutPanel.h"
#include "shell/WillkommenPanel.h"
#include "shell/u_Surfkolibri.h"
#include "traces/SicherheitsPanel.h"
#include "traces/u_MruForm.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QApplication>
#include <QGroupBox>
#include <QToolButton>

namespace {

QString text(int n) {
    return AnsiToQString(GetText(n));
}

void caption(TLabel* label, int n) {
    label->SetCaption(GetText(n));
}
void caption(QAbstractButton* button, int n) {
    button->setText(text(n));
}
void caption(QToolButton* button, int n) {
    // Section names longer than the bar is wide take two lines.
    button->setText(WrapToWidth(text(n), button->fontMetrics(), button->width() - 16));
}
void caption(QGroupBox* box, int n) {
    box->setTitle(text(n));
}
void caption(QWidget* window, int n) {
    window->setWindowTitle(text(n));
}

void titleLine(TRichEdit* title, int n) {
    title->SetTitleLine(GetText(n));
}

void box(TMemo* memo, int n) {
    memo->Clear();
    memo->Add(GetText(n));
}

void boxSplitAtLF(TMemo* memo, int n) {
    memo->Clear();
    const std::string t = GetText(n);
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = t.find('\n', start);
        memo->Add(t.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
}

void gridCell(QTableWidget* grid, int row, const std::string& value) {
    AboutPanel::SetGridCell(grid, row, value);
}

void applyMainWindow(TForm1* f) {
    f->HomePageAddress = GetText(3);
    f->MailAddress = "mailto:" + GetText(4);
    f->setWindowTitle(AnsiToQString(GetText(1) + " " + ProgramVersion + " " + GetText(2)));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(text(1));

    caption(f->SpeedButton1, 6);
    caption(f->SpeedButton2, 7);
    caption(f->SpeedButton3, 8);
    caption(f->SpeedButton4, 9);
    caption(f->SpeedButton5, 10);
    caption(f->SpeedButton6, 11);
    caption(f->SpeedButton7, 12);
    caption(f->SpeedButton9, 14);

    WillkommenPanel* w = f->WillkommenPanel;
    titleLine(w->RichEdit1, 15);
    boxSplitAtLF(w->Memo1, 16);
    titleLine(w->RichEdit2, 17);
    boxSplitAtLF(w->Memo2, 18);
    caption(w->Label1, 19);
    caption(w->Label2, 20);
    caption(w->Label3, 21);

    for (QAbstractButton* next : {static_cast<QAbstractButton*>(f->WillkommenPanel->BitBtn1),
                                  static_cast<QAbstractButton*>(f->SicherheitsPanel->BitBtn2),
                                  static_cast<QAbstractButton*>(f->BrowsercachePanel->BitBtn3),
                                  static_cast<QAbstractButton*>(f->FavoritenPanel->BitBtn4),
                                  static_cast<QAbstractButton*>(f->IEPowerPanel->BitBtn5),
                                  static_cast<QAbstractButton*>(f->AutoPanel->BitBtn6),
                                  static_cast<QAbstractButton*>(f->AboutPanel->BitBtn7)})
        caption(next, 22);

    AboutPanel* a = f->AboutPanel;
    gridCell(a->StringGrid1, 1, GetText(23));
    gridCell(a->StringGrid2, 1, ProgramVersion);
    gridCell(a->StringGrid1, 3, GetText(24));
    gridCell(a->StringGrid2, 3, GetText(25));
    gridCell(a->StringGrid1, 4, GetText(26));
    gridCell(a->StringGrid2, 4, GetText(27));
    gridCell(a->StringGrid1, 5, GetText(28));
    gridCell(a->StringGrid2, 5, GetText(0));
    gridCell(a->StringGrid1, 6, GetText(29));
    gridCell(a->StringGrid2, 6, "Kravonel");
    gridCell(a->StringGrid1, 7, GetText(30));
    gridCell(a->StringGrid2, 7, GetText(31));
    caption(a->Label9, 21);
    caption(a->Label12, 195);
    caption(a->GroupBox1, 35);
    caption(a->GroupBox3, 38);
    caption(a->Label11, 1);

    SicherheitsPanel* s = f->SicherheitsPanel;
    titleLine(s->RichEdit3, 7);
    box(s->Memo3, 39);
    caption(s->GroupBox4, 40);
    caption(s->GroupBox5, 41);
    caption(s->GroupBox6, 42);
    caption(s->GroupBox7, 43);
    caption(s->Label6, 44);
    caption(s->Label13, 45);
    PlaceAfter(s->Image13, s->Label13, 2);
    caption(s->Label14, 46);
    caption(s->Label15, 47);
    caption(s->Label16, 52);
    PlaceAfter(s->Label16, s->Label15, 5);
    caption(s->Label17, 48);
    caption(s->Label18, 49);
    caption(s->Label19, 50);
    caption(s->Label20, 51);
    caption(s->Label21, 52);
    PlaceAfter(s->Label21, s->Label19, 5);
    caption(s->Label22, 52);
    PlaceAfter(s->Label22, s->Label20, 5);
    caption(s->Label27, 53);
    caption(s->Label28, 54);
    caption(s->Label29, 55);
    PlaceAfter(s->Image17, s->Label29, 2);
    caption(s->Label26, 56);
    caption(s->Label30, 57);
    caption(s->Label25, 52);
    PlaceAfter(s->Label25, s->Label30, 5);
    caption(s->Label24, 58);
    caption(s->Label31, 59);
    caption(s->Label23, 52);
    PlaceAfter(s->Label23, s->Label31, 5);
    caption(s->Label32, 60);
    caption(s->Label33, 61);
    caption(s->Label34, 62);
    caption(s->Label35, 63);
    caption(s->Label36, 64);
    caption(s->Label37, 65);
    caption(s->Label38, 52);
    PlaceAfter(s->Label38, s->Label37, 5);
    caption(s->Label69, 52);
    caption(s->Label8, 197);
    // The browsers named are today's (the earlier texts 198 and 199 named only the old ones).
    caption(s->Label66, 392);
    caption(s->Label65, 393);
    caption(s->Label67, 200);
    caption(s->Label68, 201);
    PlaceAfter(s->Label69, s->Label68, 5);
    caption(s->GroupBox18, 202);

    caption(w->Label39, 93);

    BrowsercachePanel* c = f->BrowsercachePanel;
    titleLine(c->RichEdit4, 113);
    box(c->Memo4, 114);
    caption(c->GroupBox8, 115);
    caption(c->Label40, 116);
    caption(c->Label41, 117);

    FavoritenPanel* fav = f->FavoritenPanel;
    titleLine(fav->RichEdit5, 124);
    box(fav->Memo5, 125);
    caption(fav->GroupBox9, 126);
    caption(fav->Label43, 131);
    caption(fav->Label44, 132);
    caption(fav->Label47, 127);
    caption(fav->Label49, 128);
    caption(fav->Label5, 129);
    caption(fav->Label48, 130);
    fav->PlaceLinks();
    caption(fav->BitBtn4, 22);
    // The list's heading names the Favorites folder in the program's language.
    fav->FavoritesListView1->SetRootCaption(text(460));

    IEPowerPanel* ie = f->IEPowerPanel;
    titleLine(ie->RichEdit6, 139);
    box(ie->Memo6, 140);
    caption(ie->Label46, 52);
    caption(ie->Label60, 52);
    caption(ie->Label53, 52);
    caption(ie->Label7, 141);
    caption(ie->Label45, 142);
    caption(ie->Label63, 144);
    caption(ie->Label62, 145);
    caption(ie->Label57, 144);
    caption(ie->Label64, 145);
    caption(ie->Label58, 146);
    caption(ie->Label59, 147);
    caption(ie->CheckBox1, 148);
    caption(ie->Label51, 149);
    caption(ie->Label52, 150);
    caption(ie->CheckBox3, 151);
    // Each explanation's two halves share a line here.
    PlaceAfter(ie->Label62, ie->Label63, 4);
    PlaceAfter(ie->Label64, ie->Label57, 4);
    PlaceAfter(ie->Image36, ie->Label62, 4);
    PlaceAfter(ie->Image40, ie->Label64, 4);
    PlaceAfter(ie->Label46, ie->Label45, 5);
    PlaceAfter(ie->Label60, ie->Label59, 5);
    PlaceAfter(ie->Label53, ie->Label52, 5);
    caption(ie->Label55, 188);
    caption(ie->Label56, 189);
    PlaceAfter(ie->Image37, ie->Label56, 4);
    f->BrowseForFolderDialog1->SetTitle(GetText(156));
    f->OpenDialog1->Title = GetText(157);

    AutoPanel* au = f->AutoPanel;
    titleLine(au->RichEdit7, 158);
    box(au->Memo7, 159);
    boxSplitAtLF(au->Memo8, 160);
    caption(au->CheckBox4, 161);
    caption(au->CheckBox5, 162);
    caption(au->CheckBox6, 163);
    caption(au->CheckBox7, 164);
    caption(au->CheckBox8, 165);
    caption(au->CheckBox9, 166);
    caption(au->ReportsLink, kShowReportsText);
    caption(au->PreviewLink, kPreviewLinkText);
}

} // namespace

void PlaceAfter(QWidget* follower, const TLabel* sentence, int gap) {
    follower->move(sentence->x() + sentence->width() + gap, follower->y());
}

void ApplyDialogTexts() {
    HostedDialogTexts words;
    words.yes = GetText(465);
    words.no = GetText(466);
    words.cancel = GetText(468);
    words.open = GetText(469);
    words.lookIn = GetText(470);
    words.fileName = GetText(471);
    words.filesOfType = GetText(472);
    words.up = GetText(473);
    words.browseForFolder = GetText(474);
    words.allFiles = GetText(475);
    words.computer = GetText(478);
    words.localDisk = GetText(479);
    words.pathNotFound = GetText(476);
    words.fileNotFound = GetText(477);
    SetHostedDialogTexts(words);
}

void ApplyLanguageTexts() {
    ApplyDialogTexts();
    if (Form1) applyMainWindow(Form1);
    if (Form2) {
        caption(Form2->Label1, 1);
        caption(static_cast<QWidget*>(Form2), 1);
    }
    if (Form5) {
        caption(Form5->Label1, 1);
        caption(static_cast<QWidget*>(Form5), 1);
        caption(Form5->BitBtn2, 22);
        caption(Form5->GroupBox1, 69);
    }
    if (CookieForm) {
        TCookieForm* k = CookieForm;
        caption(static_cast<QWidget*>(k), 1);
        caption(k->Label1, 70);
        caption(k->Label2, 71);
        caption(k->Label3, 72);
        caption(k->Label4, 73);
        caption(k->Label5, 75);
        caption(k->Label6, 74);
        caption(k->GroupBox1, 76);
        caption(k->BitBtn1, 77);
        caption(k->Label12, 340);
        caption(k->Label13, 342);
    }
    if (HistoryForm) {
        THistoryForm* h = HistoryForm;
        caption(static_cast<QWidget*>(h), 1);
        caption(h->Label17, 84);
        caption(h->Label1, 85);
        caption(h->Label6, 88);
        caption(h->BitBtn1, 77);
    }
    if (ShowMessage2Form) {
        caption(static_cast<QWidget*>(ShowMessage2Form), 1);
        caption(ShowMessage2Form->BitBtn2, 22);
    }
    if (TypedURLsForm) {
        TTypedURLsForm* t = TypedURLsForm;
        caption(static_cast<QWidget*>(t), 1);
        caption(t->Label17, 94);
        caption(t->Label1, 95);
        caption(t->Label6, 96);
        caption(t->BitBtn1, 77);
    }
    if (MruForm) {
        TMruForm* m = MruForm;
        caption(static_cast<QWidget*>(m), 1);
        caption(m->BitBtn1, 77);
        caption(m->Label17, 104);
        caption(m->Label1, 105);
        caption(m->Label6, 106);
        TLabel* notice[] = {m->Label7, m->Label8, m->Label9, m->Label10, m->Label11, m->Label12};
        for (int i = 0; i < 6; ++i)
            caption(notice[i], 107 + i);
    }
    if (URLChangeForm) {
        TURLChangeForm* u = URLChangeForm;
        caption(static_cast<QWidget*>(u), 1);
        caption(u->Label1, 134);
        caption(u->Label3, 135);
        caption(u->Label5, 136);
        caption(u->Label4, 137);
        u->PlaceLinks();
    }
    if (ChangeStartPageForm) {
        TChangeStartPageForm* c = ChangeStartPageForm;
        caption(static_cast<QWidget*>(c), 1);
        caption(c->Label3, 135);
        caption(c->Label5, 136);
        caption(c->Label4, 137);
    }
    if (Form6) {
        TForm6* a = Form6;
        caption(static_cast<QWidget*>(a), 1);
        caption(a->CheckBox2, 143);
        caption(a->Label55, 144);
        caption(a->Label56, 145);
        PlaceAfter(a->Image38, a->Label56, 4);
        caption(a->CheckBox1, 190);
        caption(a->Label1, 191);
        caption(a->Label2, 192);
        caption(a->CheckBox3, 193);
        caption(a->Label3, 144);
        caption(a->Label4, 145);
        PlaceAfter(a->Image4, a->Label4, 4);
        caption(a->BitBtn5, 77);
    }
    if (OtherBrowserForm) {
        TOtherBrowserForm* o = OtherBrowserForm;
        caption(static_cast<QWidget*>(o), 1);
        caption(o->BitBtn1, 77);
        for (TLabel* cache : {o->Label1, o->Label6, o->Label9})
            caption(cache, 203);
        for (TLabel* cookies : {o->Label2, o->Label4, o->Label7})
            caption(cookies, 204);
        for (TLabel* history : {o->Label3, o->Label5, o->Label8})
            caption(history, 205);
        // The earlier Opera and Firefox are named apart from today's.
        o->GroupBox1->setTitle(AnsiToQString(GetText(kTextOldOperaGroup)));
        o->GroupBox3->setTitle(AnsiToQString(GetText(kTextOldFirefoxGroup)));
        for (const TOtherBrowserForm::TodaysGroup& g : o->TodaysGroups())
            for (int part = 0; part < 3; ++part)
                caption(g.links[part], 203 + part);
        caption(o->NoneFound, kTextNoneFound);
        for (int line = 0; line < 4; ++line)
            caption(o->Legend[line], kTextLegendCache + line);
    }
    if (RunReportForm) caption(static_cast<QWidget*>(RunReportForm), 1);
    if (KeepCookiesForm) {
        TKeepCookiesForm* c = KeepCookiesForm;
        caption(static_cast<QWidget*>(c), 1);
        caption(c->Label1, 346);
        caption(c->Label2, 347);
        caption(c->Label3, 351);
        caption(c->Label4, 348);
        caption(c->Label5, 350);
        caption(c->BitBtn1, 77);
    }
    if (KeepSiteForm) {
        TKeepSiteForm* k = KeepSiteForm;
        caption(static_cast<QWidget*>(k), 1);
        caption(k->Label1, 456);
        caption(k->BitBtn1, 458);
        caption(k->BitBtn2, 77);
    }
}
