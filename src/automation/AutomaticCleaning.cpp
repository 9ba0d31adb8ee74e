#include "automation/AutomaticCleaning.h"

#include "shell/u_Surfkolibri.h"

void RunAutomaticCleaning() {
    if (!Form1) return;
    Form1->Timer1->stop();
    Form1->Close();
}
