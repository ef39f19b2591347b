#pragma once
// Where recovery copies (recovery.h) live on disk and what the start does
// with the files it finds there: folders only the user may enter, copies
// only the user may read, a second place for the moment zu must end and the
// recovery folder cannot take a copy, the temporary files of writers that
// died, and whether a document's file is still the version its edits were
// made to.

#include "core/doc/recovery.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// Makes `folder` (and the folders above it) and sees that only its owner
// may enter it: made with mode 0700, or narrowed to 0700 when it is the
// user's own. 0 when it is ready; else why not (EPERM: it is another user's,
// or a symbolic link stands in its place).
int ensurePrivateFolder(const std::string& folder);

// The second place, ending in "/": a folder of zu's own in the user's
// runtime folder ($XDG_RUNTIME_DIR), else one named for the user in the
// temporary folder. Not made here; ensurePrivateFolder makes it.
std::string secondRecoveryFolder();

// Writes all of `bytes` to `fd` at `offset`, again after a short write,
// and moves `offset` past what was written. 0, else the system's error.
int writeAllAt(int fd, std::string_view bytes, std::size_t& offset);

// Writes a whole file that only the user may read (mode 0600 whatever the
// umask), under a temporary name first, flushed to disk and then renamed
// into place. 0, else the system's error.
int writePrivateFile(const std::string& path, std::string_view bytes);

// This machine, as the temporary names of copies name it.
std::uint64_t thisHostId();
// Whether the process with this id runs on this machine.
bool processRuns(long processId);

// Removes the temporary files that zu's own writers of copies left in
// `folder` when they died: of this machine, named for a process that no
// longer runs. Names of earlier versions, which name no machine, only when
// nothing has written to them for an hour. Returns the names removed.
std::vector<std::string>
removeRecoveryLeftovers(const std::string& folder, std::uint64_t hostId,
                        const std::function<bool(long)>& runs = processRuns);

// Moves the copy `name` in `folder` aside (damagedRecoveryName); 0 or the
// system's error.
int putRecoveryAside(const std::string& folder, const std::string& name);

// The identity of the file at `path` as it is now: its stamp and the hash
// of its bytes, read in pieces. Nothing when there is no regular file.
std::optional<SourceIdentity> identityOf(const std::string& path);

// Whether the file at `path` still holds what `known` says it held.
struct SourceCheck {
    SourceState state = SourceState::Same;
    // The file's stamp now, when it is there; with Same it may differ from
    // the known one (the file was touched, or copied back, byte for byte).
    std::optional<FileStamp> stamp;
};
SourceCheck checkSource(const SourceIdentity& known, const std::string& path);

} // namespace zu
