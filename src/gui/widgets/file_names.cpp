#include "gui/widgets/file_names.h"

#include "core/doc/file_read.h"
#include "core/text/path_bytes.h"

namespace zu {

QString pathFromBytes(std::string_view bytes) {
    const std::u16string text = pathToText(bytes);
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::string pathToBytes(const QString& path) {
    return textToPath(
        {reinterpret_cast<const char16_t*>(path.utf16()), static_cast<std::size_t>(path.size())});
}

QString displayPath(const QString& path) {
    const std::u16string shown = pathForDisplay(
        {reinterpret_cast<const char16_t*>(path.utf16()), static_cast<std::size_t>(path.size())});
    return QString(reinterpret_cast<const QChar*>(shown.data()),
                   static_cast<qsizetype>(shown.size()));
}

QString displayName(const QString& path) {
    return displayPath(path.mid(path.lastIndexOf(u'/') + 1));
}

QUrl fileUrl(const QString& path) {
    return QUrl::fromEncoded(
        "file://" + QByteArray::fromStdString(pathToBytes(path)).toPercentEncoding("/"),
        QUrl::StrictMode);
}

QString recoverLossyName(const QString& chosen) {
    const qsizetype slash = chosen.lastIndexOf(u'/');
    if (!chosen.contains(QChar(0xFFFD)) || slash < 0 || stampOf(pathToBytes(chosen)))
        return chosen;
    const QString folder = chosen.left(slash + 1);
    const QString name = chosen.mid(slash + 1);
    QString found;
    for (const std::string& entry : namesIn(pathToBytes(folder))) {
        // How Qt's dialog showed the name: UTF-8 decoded with replacements.
        if (QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())) != name)
            continue;
        if (!found.isEmpty())
            return chosen; // two names look the same: no guessing
        found = folder + pathFromBytes(entry);
    }
    return found.isEmpty() ? chosen : found;
}

} // namespace zu
