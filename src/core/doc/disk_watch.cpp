#include "core/doc/disk_watch.h"

namespace zu {

bool DiskWatch::offerReload(const std::optional<FileStamp>& now, bool modified) {
    if (modified || !warnBeforeSave(now) || now == noticed_)
        return false;
    noticed_ = now;
    return true;
}

bool DiskWatch::warnBeforeSave(const std::optional<FileStamp>& now) const {
    return known_ && now && *now != *known_;
}

DiskChange DiskWatch::noteForModified(const std::optional<FileStamp>& now, bool modified) {
    if (!known_)
        return DiskChange::None;
    if (!now) {
        if (!modified || deletionNoted_)
            return DiskChange::None;
        deletionNoted_ = true;
        return DiskChange::Deleted;
    }
    deletionNoted_ = false;
    if (!modified || *now == *known_ || now == noted_)
        return DiskChange::None;
    noted_ = now;
    return DiskChange::Changed;
}

} // namespace zu
