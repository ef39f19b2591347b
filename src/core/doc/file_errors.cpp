#include "core/doc/file_errors.h"

#include <cerrno>

namespace zu {
namespace {

std::string withPath(std::string_view pattern, std::string_view path) {
    std::string out(pattern);
    if (const auto at = out.find("%1"); at != std::string::npos)
        out.replace(at, 2, path);
    return out;
}

} // namespace

std::string fileErrorMessage(int error, FileOp op, std::string_view path) {
    switch (error) {
    case ENOENT:
        return withPath("%1 が見つかりません。", path);
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
    case EISDIR:
        return withPath("%1 は無効なﾊﾟｽです。", path);
    case EACCES:
    case EPERM:
    case EROFS:
        return withPath("%1 へのｱｸｾｽは拒否されました。", path);
    case ETXTBSY:
    case EBUSY:
        return withPath("%1 へのｱｸｾｽ中に共有違反が発生しました。", path);
    case ENOSPC:
    case EDQUOT:
        return withPath("%1 へのｱｸｾｽ中にﾃﾞｨｽｸの空き容量が不足しました。", path);
    case EFBIG:
        // Writing: the file may grow no further here, which to the user is a
        // full disk. Reading: the file is larger than zu will hold at once.
        if (op == FileOp::Save)
            return withPath("%1 へのｱｸｾｽ中にﾃﾞｨｽｸの空き容量が不足しました。", path);
        return withPath("%1 は大きすぎるため開けません。", path);
    default:
        break;
    }
    return op == FileOp::Open ? "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"
                              : "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。";
}

} // namespace zu
