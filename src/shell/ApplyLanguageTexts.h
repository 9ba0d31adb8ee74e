// Writes the texts of the current language into every window, once at start-up.
#pragma once

class QWidget;
class TLabel;

void ApplyLanguageTexts();

// Puts a link label or information picture right after a sentence label on the same line.
void PlaceAfter(QWidget* follower, const TLabel* sentence, int gap);
