// Installing another interface language into the data folder (the restart that follows is
// the caller's business).
#pragma once

#include <string>

// The language-choice marker in the data folder.
std::string LanguageMarkerPath();
// Deletes the current help and documentation, selects the language and, when neither came
// with it, puts the English ones in place before selecting it again.
void SwitchLanguage(const std::string& name);
