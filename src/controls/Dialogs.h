// The file-open dialog as a component: title, filter in the "Text|Patterns|Text|Patterns"
// form, default extension, and the chosen file afterwards.
#pragma once

#include "platform/win32.h"

#include <string>

class TOpenDialog {
  public:
    explicit TOpenDialog(HWND owner = nullptr) : owner_(owner) {}

    std::string Title;
    // Pairs of a shown text and its patterns, all separated by "|".
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
    std::string InitialDir;
    // In: the name offered; out: the full path of the chosen file.
    std::string FileName;
    DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;

    // Shows the dialog modally; true when the user chose a file.
    bool Execute();

  private:
    HWND owner_;
};
