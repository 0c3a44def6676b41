#include "ui/UserError.h"

#include <cerrno>

namespace linvar {

UserError UserError::fromErrno(int code) {
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return UserError("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
        return UserError("File access denied");
    case ENOSPC:
    case EDQUOT:
        return UserError("Disk full");
    default:
        return UserError("I/O error " + std::to_string(code));
    }
}

UserError UserError::notInteger(const std::string& text) {
    return UserError("'" + text + "' is not a valid integer value");
}

} // namespace linvar
