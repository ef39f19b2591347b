#pragma once
// The messages a failed open or save shows, chosen from the system's error
// number. Each names the file; they are the texts the program always showed.

#include <string>
#include <string_view>

namespace zu {

enum class FileOp { Open, Save };

// "%1" in the message is replaced by `path`.
std::string fileErrorMessage(int error, FileOp op, std::string_view path);

} // namespace zu
