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

} // namespace zu
