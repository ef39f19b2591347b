#pragma once
// Paths between Qt and the file system. The program holds a path as its
// bytes (core/text/file_path.h); text is made of it only where a name is
// shown, or where a widget asks for one or gives one. Those crossings go
// through here, so that a name that is not valid UTF-8 (a Shift_JIS name
// from an old archive) opens, saves and is remembered under its real bytes
// (core/text/path_bytes.h).
//
// Qt's own file classes (QFile, QFileInfo on the disk, QFileDialog) decode
// names lossily; document files are therefore read and written by the core
// with these bytes, never by Qt.

#include "core/text/file_path.h"

#include <QString>
#include <QUrl>

namespace zu {

// The text a widget holds for a path (a file dialog's folder and name, the
// profile's list), and the path such a text stands for: the bytes come back
// exactly. Never for showing a name: displayPath() is.
QString pathToQt(const FilePath& path);
FilePath pathFromQt(const QString& text);

// The path as the user reads it, in titles, menus and messages.
QString displayPath(const FilePath& path);
// The last part of the path, as the user reads it.
QString displayName(const FilePath& path);

// The file: URL of a path, its bytes percent-encoded as they are (what
// QUrl::fromLocalFile would encode as UTF-8 of the text); the way back is
// ui::localFiles().
QUrl fileUrl(const FilePath& path);

// A path chosen in Qt's file dialog, which shows a name that is not UTF-8
// with U+FFFD in it: the real file it stands for when exactly one name in
// its folder reads like that, else the path as given.
FilePath recoverLossyName(const QString& chosen);

} // namespace zu
