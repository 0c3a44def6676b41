#include "serial/ComPortMap.h"

namespace linvar {

namespace {

// A decimal number from 1 to 255 making up the whole text.
int portNumber(const std::string& text) {
    if (text.empty() || text.size() > 3)
        return 0;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n <= 255 ? n : 0;
}

} // namespace

bool ComPortMap::parse(const std::string& argument) {
    const size_t eq = argument.find('=');
    if (eq == std::string::npos || eq + 1 >= argument.size())
        return false;
    const int n = portNumber(argument.substr(0, eq));
    if (n == 0)
        return false;
    set(n, argument.substr(eq + 1));
    return true;
}

std::string ComPortMap::devicePath(int number) const {
    const auto it = paths_.find(number);
    if (it != paths_.end())
        return it->second;
    return "/dev/ttyS" + std::to_string(number - 1);
}

std::string ComPortMap::devicePathOf(const std::string& name) const {
    if (name.rfind("COM", 0) == 0) {
        // The station shows "COM n" with a blank; "COMn" is read as well.
        const size_t digits = name.find_first_not_of(' ', 3);
        const int n = digits == std::string::npos ? 0 : portNumber(name.substr(digits));
        if (n > 0)
            return devicePath(n);
    }
    return name;
}

} // namespace linvar
