#pragma once

#include <QString>

#include <string>

// The control layer keeps texts as UTF-8; Qt as UTF-16.
inline QString toQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string fromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

// "&Replica Valores" keeps its accelerator for Qt; a lone "&&" stays a literal ampersand.
inline QString toQtCaption(const std::string& caption) {
    return toQt(caption);
}
