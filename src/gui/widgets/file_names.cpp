#include "gui/widgets/file_names.h"

#include "core/doc/file_read.h"
#include "core/text/path_bytes.h"

namespace zu {
namespace {

QString fromText(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

} // namespace

QString pathToQt(const FilePath& path) {
    return fromText(pathToText(path.bytes()));
}

FilePath pathFromQt(const QString& text) {
    return FilePath(textToPath(
        {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())}));
}

QString displayPath(const FilePath& path) {
    return fromText(pathForDisplay(pathToText(path.bytes())));
}

QString displayName(const FilePath& path) {
    return fromText(pathForDisplay(pathToText(path.name())));
}

QUrl fileUrl(const FilePath& path) {
    return QUrl::fromEncoded("file://" +
                                 QByteArray::fromStdString(path.bytes()).toPercentEncoding("/"),
                             QUrl::StrictMode);
}

FilePath recoverLossyName(const QString& chosen) {
    const FilePath given = pathFromQt(chosen);
    if (!chosen.contains(QChar(0xFFFD)) || given.folder().empty() || stampOf(given.bytes()))
        return given;
    const QString name = chosen.mid(chosen.lastIndexOf(u'/') + 1);
    std::optional<FilePath> found;
    for (const std::string& entry : namesIn(std::string(given.folder()))) {
        // How Qt's dialog showed the name: UTF-8 decoded with replacements.
        if (QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())) != name)
            continue;
        if (found)
            return given; // two names look the same: no guessing
        found = given.sibling(entry);
    }
    return found ? *found : given;
}

} // namespace zu
