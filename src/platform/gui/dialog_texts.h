// The words of the hosted platform's own dialogs: the buttons of the message box and the
// file-open and folder dialogs. A Windows machine's dialogs speak the system's language; the
// hosted ones are the program's, and speak its language once it hands them its words (ANSI
// text, as the program's texts are). Until then they speak English.
#pragma once

#include <string>

struct HostedDialogTexts {
    std::string yes = "Yes";
    std::string no = "No";
    std::string ok = "OK";
    std::string cancel = "Cancel";
    std::string open = "Open";
    std::string lookIn = "Look in:";
    std::string fileName = "File name:";
    std::string filesOfType = "Files of type:";
    std::string up = "Up";
    std::string browseForFolder = "Browse for Folder";
    std::string allFiles = "All Files";
    // The names the folder dialog gives the computer and its system drive ("Local Disk (C:)").
    std::string computer = "My Computer";
    std::string localDisk = "Local Disk";
    // Said below the path the user typed.
    std::string pathNotFound = "Path does not exist.\nCheck the path and try again.";
    std::string fileNotFound = "File not found.\nCheck the file name and try again.";
};

// The words every dialog shown from now on uses; a word left empty keeps the English one.
void SetHostedDialogTexts(const HostedDialogTexts& texts);
const HostedDialogTexts& HostedDialogTextsInUse();
