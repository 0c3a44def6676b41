#pragma once
// The station's texts are 8-bit (code page 1252); Qt's are Unicode. Every text that
// crosses between the two goes through these.

#include "ui/Cp1252.h"

#include <QString>
#include <string>

namespace linvar {

inline QString FromStation(const std::string& text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

inline std::string ToStation(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

} // namespace linvar
