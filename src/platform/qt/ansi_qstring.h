// The one place where ANSI text (Windows-1252) meets QString.
#pragma once

#include <QString>

#include <string>

QString AnsiToQString(const std::string& text);
std::string QStringToAnsi(const QString& text);
