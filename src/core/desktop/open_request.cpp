#include "core/desktop/open_request.h"

#include <sys/socket.h>
#include <sys/stat.h>

namespace zu {
namespace {

// The version travels in the header, so that a zu of another version is not
// handed a request it would misread.
constexpr std::string_view kHeader = "zu-open-1";

// Only characters that are safe in a file name, whatever the display is
// called (":0", "wayland-0", "host:10.0").
std::string fileNamePart(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.';
        out += plain ? c : '_';
    }
    return out;
}

} // namespace

std::string encodeOpenRequest(const std::vector<std::string>& files) {
    std::string out(kHeader);
    out += '\0';
    for (const std::string& file : files) {
        // A path never holds a NUL; one that claims to is cut there rather
        // than split into two requests.
        out += file.substr(0, file.find('\0'));
        out += '\0';
    }
    out += '\0';
    return out;
}

OpenRequest decodeOpenRequest(std::string_view bytes) {
    OpenRequest request;
    std::vector<std::string> items;
    std::size_t position = 0;
    while (true) {
        const std::size_t end = bytes.find('\0', position);
        if (end == std::string_view::npos) {
            // The header may still be arriving; anything else it cannot be.
            const std::string_view rest = bytes.substr(position);
            if (items.empty() && !kHeader.starts_with(rest))
                request.state = OpenRequest::State::Invalid;
            return request;
        }
        const std::string_view item = bytes.substr(position, end - position);
        position = end + 1;
        if (items.empty() && item != kHeader) {
            request.state = OpenRequest::State::Invalid;
            return request;
        }
        if (!items.empty() && item.empty())
            break;
        items.emplace_back(item);
    }
    if (position != bytes.size()) {
        request.state = OpenRequest::State::Invalid;
        return request;
    }
    request.state = OpenRequest::State::Complete;
    request.files.assign(items.begin() + 1, items.end());
    return request;
}

std::optional<std::string>
instanceSocketPath(const std::function<std::optional<std::string>(const char*)>& env,
                   unsigned userId, const PrivateFolderCheck& isPrivate) {
    std::string display;
    if (auto wayland = env("WAYLAND_DISPLAY"); wayland && !wayland->empty())
        display = *wayland;
    else if (auto x = env("DISPLAY"); x && !x->empty())
        display = *x;
    const std::string name =
        "zu" + (display.empty() ? std::string() : "-" + fileNamePart(display)) + ".socket";
    const auto slashed = [](std::string folder) {
        return folder.back() == '/' ? folder : folder + "/";
    };

    if (auto runtime = env("XDG_RUNTIME_DIR");
        runtime && !runtime->empty() && runtime->front() == '/' && isPrivate(*runtime, false))
        return slashed(*runtime) + name;
    std::string temporary = "/tmp";
    if (auto tmp = env("TMPDIR"); tmp && !tmp->empty() && tmp->front() == '/')
        temporary = *tmp;
    const std::string own = slashed(temporary) + "zu-" + std::to_string(userId);
    if (isPrivate(own, true))
        return own + "/" + name;
    return std::nullopt;
}

bool isPrivateFolder(const std::string& folder, bool make, unsigned userId) {
    if (make)
        ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == userId &&
           (info.st_mode & 077) == 0;
}

std::optional<unsigned> peerUserId(int socketFd) {
    struct ucred peer {};
    socklen_t size = sizeof peer;
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return std::nullopt;
    return static_cast<unsigned>(peer.uid);
}

} // namespace zu
