// The program in German, window by window as a user opens them, the platform's own dialogs and
// questions included: no text shown there is still the English one.
#include "automation/AutoPanel.h"
#include "automation/RunReport.h"
#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "cache/u_keepCookies.h"
#include "cache/u_keepSite.h"
#include "controls/longlist.h"
#include "favorites/FavoritenPanel.h"
#include "favorites/u_URLChangeForm.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "lang/used_texts.h"
#include "otherbrowsers/u_otherBrowsers.h"
#include "platform/gui/dialog_texts.h"
#include "platform/qt/ansi_qstring.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/cache_entries.h"
#include "support/window_fixture.h"
#include "traces/u_MruForm.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <set>
#include <utility>
#include <vector>

using testing_support::WindowTest;

namespace {

// Words that are the same in both languages, and the languages' own names.
const std::set<QString> kSameInBoth = {QStringLiteral("OK"), QStringLiteral("Surfkolibri"),
                                       QStringLiteral("ENGLISH")};

QStringList linesOf(const QString& text) {
    QStringList lines;
    for (QString line : QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')).split('\n'))
        if (!(line = line.trimmed()).isEmpty()) lines << line;
    return lines;
}

// Every line of a language file's texts, as a window would show them.
std::set<QString> linesOfLanguage(const std::string& file) {
    QwTrans2 engine("Surfkolibri");
    engine.LoadTextFile(file);
    std::set<QString> lines;
    for (int number : surfkolibri_test::kUsedTextNumbers)
        for (const QString& line : linesOf(AnsiToQString(engine.GetText(number))))
            lines.insert(line);
    return lines;
}

class GermanWindowsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (const QString& line :
             linesOfLanguage(platform.programFolderWindows() + "Surfkolibri.t00"))
            english.insert(line);
        german = linesOfLanguage(platform.programFolderWindows() + "Surfkolibri.t01");
        // The platform's dialogs before the program hands them its words.
        const HostedDialogTexts defaults;
        for (const std::string* word :
             {&defaults.yes, &defaults.no, &defaults.ok, &defaults.cancel, &defaults.open,
              &defaults.lookIn, &defaults.fileName, &defaults.filesOfType, &defaults.up,
              &defaults.browseForFolder, &defaults.allFiles, &defaults.computer,
              &defaults.localDisk, &defaults.pathNotFound, &defaults.fileNotFound})
            for (const QString& line : linesOf(AnsiToQString(*word)))
                english.insert(line);
        // The phrases German never uses, each with its pattern for filled-in places.
        for (const QString& phrase : english)
            if (!usedInGerman(phrase)) englishOnly.emplace_back(phrase, filledIn(phrase));
        StartProgram(1);
        ApplyLanguageTexts();
        Form1->Timer1Timer();
        onModal = [this](QWidget* window) {
            read(window);
            if (auto* box = qobject_cast<QMessageBox*>(window))
                box->button(QMessageBox::No)->click();
        };
    }

    // A line is English when it is a line of the English texts that German does not use, or
    // holds a phrase of them that no German text holds, its numbers filled in ("error %1").
    bool isEnglish(const QString& line) const {
        if (kSameInBoth.count(line) || german.count(line)) return false;
        if (english.count(line)) return !usedInGerman(line);
        for (const auto& [phrase, filled] : englishOnly) {
            if (phrase.size() >= 8 && line.contains(phrase)) return true;
            if (filled.isValid() && filled.match(line).hasMatch()) return true;
        }
        return false;
    }
    // A text with places for numbers or names as a pattern, when its words are long enough to
    // tell it; an invalid pattern otherwise.
    static QRegularExpression filledIn(const QString& phrase) {
        static const QRegularExpression place(QStringLiteral("%[0-9]"));
        const QStringList words = phrase.split(place);
        if (words.size() < 2) return QRegularExpression(QStringLiteral("("));
        QString pattern;
        int letters = 0;
        for (const QString& word : words) {
            if (!pattern.isEmpty()) pattern += QStringLiteral(".+");
            pattern += QRegularExpression::escape(word);
            letters += static_cast<int>(word.trimmed().size());
        }
        return QRegularExpression(letters >= 5 ? pattern : QStringLiteral("("));
    }
    // Whether a German text uses the phrase as words of its own ("No" is not in "Noch").
    bool usedInGerman(const QString& phrase) const {
        const QRegularExpression words(QStringLiteral("(^|\\W)") +
                                       QRegularExpression::escape(phrase) +
                                       QStringLiteral("($|\\W)"));
        for (const QString& line : german)
            if (line.contains(words)) return true;
        return false;
    }

    void see(const QWidget* window, const QString& text) {
        const QString plain =
            Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
        for (const QString& line : linesOf(plain))
            if (isEnglish(line))
                found.insert(QString::fromLatin1(window->metaObject()->className()) + ": " + line);
    }
    // What the user reads in the window now: its title, labels, buttons, group boxes, boxes,
    // headings and grids.
    void read(QWidget* window) {
        ++windowsRead;
        see(window, window->windowTitle());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window)) continue;
            if (auto* label = qobject_cast<QLabel*>(w)) see(window, label->text());
            if (auto* button = qobject_cast<QAbstractButton*>(w)) see(window, button->text());
            if (auto* box = qobject_cast<QGroupBox*>(w)) see(window, box->title());
            if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) see(window, memo->toPlainText());
            if (auto* combo = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < combo->count(); ++i)
                    see(window, combo->itemText(i));
            if (auto* header = qobject_cast<QHeaderView*>(w))
                for (int i = 0; header->model() && i < header->count(); ++i)
                    see(window, header->model()->headerData(i, header->orientation()).toString());
            if (auto* tree = qobject_cast<QTreeWidget*>(w))
                for (QTreeWidgetItemIterator item(tree); *item; ++item)
                    see(window, (*item)->text(0));
            if (auto* grid = qobject_cast<QTableWidget*>(w))
                for (int row = 0; row < grid->rowCount(); ++row)
                    for (int column = 0; column < grid->columnCount(); ++column)
                        if (grid->item(row, column)) see(window, grid->item(row, column)->text());
        }
    }
    void show(QWidget* window) {
        window->show();
        read(window);
        window->hide();
    }

    std::set<QString> english;
    std::set<QString> german;
    std::vector<std::pair<QString, QRegularExpression>> englishOnly;
    std::set<QString> found;
    int windowsRead = 0;
};

} // namespace

TEST_F(GermanWindowsTest, NoWindowShowsAnEnglishText) {
    testing_support::putCookie("www.bank.example", 3, 120);
    testing_support::putCookie("mail.example", 1, 80);
    testing_support::putContentEntry("http://www.bank.example/index.htm", "index.htm", 714);
    RunRecord run;
    GetLocalTime(&run.when);
    run.options = "cbhmen";
    AppendRunRecord(RunReportPath(), run, "");

    for (QToolButton* section :
         {Form1->SpeedButton1, Form1->SpeedButton2, Form1->SpeedButton3, Form1->SpeedButton4,
          Form1->SpeedButton5, Form1->SpeedButton6, Form1->SpeedButton7}) {
        section->click();
        read(Form1);
    }
    // The favorites section with nothing chosen, the automation page's reports.
    Form1->SpeedButton4->click();
    Form1->FavoritenPanel->Label49Click();
    Form1->SpeedButton6->click();
    Form1->AutoPanel->ReportsLinkClick();
    // The platform's folder and file dialogs, as the settings page opens them.
    Form1->IEPowerPanel->Label53Click();
    Form1->IEPowerPanel->Label60Click();

    // The cookie window with a cookie chosen, its questions, the keep-list and the site to keep.
    CookieForm->show();
    CookieForm->Listbox1->setCurrentRow(0);
    read(CookieForm);
    CookieForm->Label5Click();
    CookieForm->Label6Click();
    KeepSiteForm->AskSite("www.bank.example");
    KeepCookiesForm->ShowModal();
    CookieForm->CloseTimer->stop();
    CookieForm->hide();

    // A cleaning's message with an error that has no word of its own.
    CleaningResult result;
    result.Removed(714);
    result.Failed("C:\\x", 1234);
    ShowMessage2(GetText(119) + " " + SizeForPeople(714) + '\r' + DoneMessage(120, result));

    Form5->ShowInfoText(GetText(67));
    show(Form5);
    HistoryForm->show();
    HistoryForm->CloseTimer->stop();
    read(HistoryForm);
    HistoryForm->hide();
    TypedURLsForm->show();
    TypedURLsForm->Timer1Timer();
    read(TypedURLsForm);
    TypedURLsForm->hide();
    MruForm->show();
    MruForm->leerTimer->stop();
    read(MruForm);
    MruForm->hide();
    for (QWidget* window : std::initializer_list<QWidget*>{URLChangeForm, ChangeStartPageForm,
                                                           Form6, OtherBrowserForm, Form2})
        show(window);

    EXPECT_GE(windowsRead, 20);
    QStringList english(found.begin(), found.end());
    EXPECT_TRUE(found.empty()) << english.join(QLatin1Char('\n')).toStdString();
}
