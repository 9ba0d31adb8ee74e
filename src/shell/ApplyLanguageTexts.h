// Writes the texts of the current language into every window, once at start-up.
#pragma once

class QWidget;
class TLabel;

void ApplyLanguageTexts();
// Hands the words of the current language to the platform's own dialogs (message box
// buttons, file and folder dialogs); ApplyLanguageTexts does it too.
void ApplyDialogTexts();

// Puts a link label or information picture right after a sentence label on the same line.
void PlaceAfter(QWidget* follower, const TLabel* sentence, int gap);
