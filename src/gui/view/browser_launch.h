#pragma once
// ﾌﾞﾗｳｻﾞで表示: a web browser started on the saved file.

#include "core/text/file_path.h"

class QWidget;

namespace zu {

// Starts the first browser of the desktop that can be started (never zu,
// never through a shell) on `path`. When there is none, or none starts, a
// message owned by `parent` says what is missing and how to choose one.
void showInBrowser(QWidget* parent, const FilePath& path);

} // namespace zu
