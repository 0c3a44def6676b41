#pragma once
// The one error type of the station: a file or number failure that no screen handles
// itself. The dispatcher of a handler or tick catches it and shows its text in the
// general error report; the program goes on.

#include <stdexcept>
#include <string>

namespace linvar {

class UserError : public std::runtime_error {
public:
    explicit UserError(const std::string& text) : std::runtime_error(text) {}

    // The report for an operating-system error code (errno) of a file operation:
    // "File not found", "File access denied", "Disk full" or "I/O error %d".
    static UserError fromErrno(int code);
    // "'%s' is not a valid integer value".
    static UserError notInteger(const std::string& text);
};

} // namespace linvar
