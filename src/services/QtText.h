#pragma once
// The program's texts are Windows-1252 bytes; this is the one place they
// become QStrings and back.
#include <QString>
#include <string>
#include <string_view>

namespace nimbrel {

QString toQString(std::string_view text);
std::string fromQString(const QString& text);

}  // namespace nimbrel
