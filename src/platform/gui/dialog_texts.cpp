#include "platform/gui/dialog_texts.h"

namespace {

HostedDialogTexts& inUse() {
    static HostedDialogTexts texts;
    return texts;
}

void take(std::string& word, const std::string& given) {
    if (!given.empty()) word = given;
}

} // namespace

void SetHostedDialogTexts(const HostedDialogTexts& texts) {
    HostedDialogTexts words;
    take(words.yes, texts.yes);
    take(words.no, texts.no);
    take(words.ok, texts.ok);
    take(words.cancel, texts.cancel);
    take(words.open, texts.open);
    take(words.lookIn, texts.lookIn);
    take(words.fileName, texts.fileName);
    take(words.filesOfType, texts.filesOfType);
    take(words.up, texts.up);
    take(words.browseForFolder, texts.browseForFolder);
    take(words.allFiles, texts.allFiles);
    take(words.computer, texts.computer);
    take(words.localDisk, texts.localDisk);
    take(words.pathNotFound, texts.pathNotFound);
    take(words.fileNotFound, texts.fileNotFound);
    inUse() = words;
}

const HostedDialogTexts& HostedDialogTextsInUse() {
    return inUse();
}
