#pragma once
// Paths between Qt and the file system. A path is bytes; Qt holds text. Every
// place that turns one into the other goes through here, so that a name
// that is not valid UTF-8 (a Shift_JIS name from an old archive) opens,
// saves and is remembered under its real bytes (core/text/path_bytes.h).
//
// Qt's own file classes (QFile, QFileInfo on the disk, QFileDialog) decode
// names lossily; document files are therefore read and written by the core
// with these bytes, never by Qt.

#include <QString>
#include <QUrl>

#include <string>
#include <string_view>
#include <vector>

namespace zu {

QString pathFromBytes(std::string_view bytes);
std::string pathToBytes(const QString& path);

// The path as the user reads it, in titles, menus and messages.
QString displayPath(const QString& path);
// The last part of the path, as the user reads it.
QString displayName(const QString& path);

// The file: URL of a path, its bytes percent-encoded as they are (what
// QUrl::fromLocalFile would encode as UTF-8 of the text); the way back is
// ui::localFiles().
QUrl fileUrl(const QString& path);

// A path chosen in Qt's file dialog, which shows a name that is not UTF-8
// with U+FFFD in it: the real file it stands for when exactly one name in
// its folder reads like that, else the path as given.
QString recoverLossyName(const QString& chosen);

} // namespace zu
