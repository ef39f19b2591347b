#pragma once
// Writing a document's bytes so that a failure never damages the old file.

#include <QString>

#include <string>

namespace zu {

// Writes `bytes` to a temporary file beside `path`, then renames it over
// `path`. Returns 0, or the system's error number of the failure; the old
// file is then untouched and no temporary file is left behind.
int writeFileAtomically(const QString& path, const std::string& bytes);

} // namespace zu
