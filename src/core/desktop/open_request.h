#pragma once
// One window for many files: while a zu runs, a second "zu FILE" hands its
// files to it over a local socket and ends, as the shell's DDE open did for
// the classic program. This is what goes over the socket and where the
// socket lives; the Qt layer only moves the bytes.
//
// The request is a header and the absolute paths, each ended by a NUL (the
// one byte a path cannot hold), then an empty item that closes it. The
// running zu answers kOpenAccepted once it holds the whole request.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

inline constexpr std::string_view kOpenAccepted = "ok\n";

std::string encodeOpenRequest(const std::vector<std::string>& files);

struct OpenRequest {
    enum class State { Incomplete, Complete, Invalid };
    State state = State::Incomplete;
    std::vector<std::string> files; // when Complete
};
// Reads what has arrived so far. Bytes after the closing item, or a header
// of something else, make the request invalid.
OpenRequest decodeOpenRequest(std::string_view bytes);

// The socket's path, one per user and display: a zu on another screen is not
// the one to raise. It lives in $XDG_RUNTIME_DIR, which only the user can
// enter, or else in the temporary folder under the user's number.
std::string instanceSocketPath(const std::function<std::optional<std::string>(const char*)>& env,
                               unsigned userId);

} // namespace zu
