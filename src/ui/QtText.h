#pragma once
// The program's texts are Windows-1252 bytes; this is the one place they
// become QStrings and back.
#include <QString>
#include <string>

namespace nimbrel {

QString toQString(const std::string& text);
std::string fromQString(const QString& text);

}  // namespace nimbrel
