#pragma once
// One window for many files: while a zu runs, a second "zu FILE" hands its
// files to it over a local socket and ends, so that pages opened from the
// file manager or a shell join the windows already open. This is what goes
// over the socket and where the socket lives; the Qt layer only moves the
// bytes.
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
// the one to raise. The names of the files a user opens travel through it,
// so it lives in a folder only that user can enter: $XDG_RUNTIME_DIR when
// `isPrivate` finds it so, else "zu-<user id>" in the temporary folder,
// which `isPrivate` is asked to make. Nothing when neither is private: zu
// then runs on its own rather than talk through a folder someone else holds.
using PrivateFolderCheck = std::function<bool(const std::string& folder, bool make)>;
std::optional<std::string>
instanceSocketPath(const std::function<std::optional<std::string>(const char*)>& env,
                   unsigned userId, const PrivateFolderCheck& isPrivate);

// The real check: `folder` (made 0700 when `make` is set and it is missing)
// is a folder, no symbolic link, owned by `userId`, that nobody else may
// enter or write.
bool isPrivateFolder(const std::string& folder, bool make, unsigned userId);

// The user of the process at the other end of a connected local socket;
// nothing when the system does not say.
std::optional<unsigned> peerUserId(int socketFd);

} // namespace zu
