// Window tests: a fresh platform root with the shipped data files in the program folder, the
// translation engine started on them, and the program's windows created (and destroyed
// afterwards). Modal windows go through a hook the test sets.
#pragma once

#include "support/application.h"
#include "support/platform_fixture.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class WindowTest : public PlatformTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program's data folder and texts as start-up does, in the given language
    // file number (0 ENGLISH, 1 DEUTSCH), then creates the windows.
    void StartProgram(int language = 0, const std::vector<std::string>& arguments = {});
    // What the modal hook saw, in order (window class names), and the texts of the program's
    // message window among them.
    std::vector<std::string> modalWindows;
    std::vector<std::string> messages;
    // Called for each modal window after it is shown; default: just record it.
    std::function<void(QWidget*)> onModal;
    // Number of "play clck.wav" sounds in the platform's record log.
    int clickSounds() const;
    // Shell executions in the record log ("execute" entries): their targets.
    std::vector<std::string> executedTargets() const;
};

// Lets the event loop run for the given time.
void RunEventsFor(int milliseconds);
// Lets the event loop run until the condition holds (true) or the time is up (false).
bool RunEventsUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

} // namespace testing_support
