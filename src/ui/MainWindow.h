// The program's main window as the windows below the program's top reach it, without its
// header: the main window registers what they may ask of it when it is made.
#pragma once

#include <QPointer>
#include <QWidget>

// What a window of a section may ask of the main window.
class TMainWindowRole {
  public:
    virtual QWidget* Window() = 0;
    // The language is known: the main window stays hidden and starts its start-up timer.
    virtual void StartStartupTimer() = 0;
    // The unattended run has begun: the interactive start-up sequence never runs.
    virtual void StopStartupTimer() = 0;
    // Empties the hidden list of value names (ListBox1) that the clearings of the typed
    // addresses and of the Run list go through.
    virtual void EmptyValueNames() = 0;
    // Closes the main window, which ends the program.
    virtual void CloseMainWindow() = 0;

  protected:
    ~TMainWindowRole() = default;
};

// The main window, or null before it is made and after it has gone.
TMainWindowRole* MainWindowRole();
void SetMainWindowRole(TMainWindowRole* role);

// Hides the main window for as long as it lives (while a modal window of a section is shown,
// or a cleaning shows its busy window) and shows it again afterwards only if it was visible
// before, so that a window opened while the main window is hidden never brings it back.
class TMainWindowHidden {
  public:
    // The main window registered, or the given one (a section page's own window()).
    TMainWindowHidden();
    explicit TMainWindowHidden(QWidget* mainWindow);
    ~TMainWindowHidden();
    TMainWindowHidden(const TMainWindowHidden&) = delete;
    TMainWindowHidden& operator=(const TMainWindowHidden&) = delete;

  private:
    QPointer<QWidget> window_;
    bool wasVisible_ = false;
};
