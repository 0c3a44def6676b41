#pragma once
// Port names: the station shows and stores "COM n"; on this platform each number
// stands for a device path, set with "--com n=PATH" or else /dev/ttyS<n-1>.

#include <map>
#include <string>

namespace linvar {

class ComPortMap {
public:
    void set(int number, std::string path) { paths_[number] = std::move(path); }

    // "n=PATH" with n from 1 to 255 and a non-empty path; false leaves the map as it was.
    bool parse(const std::string& argument);

    std::string devicePath(int number) const;
    // The device of a port name "COM n"; other names are taken as paths.
    std::string devicePathOf(const std::string& name) const;

private:
    std::map<int, std::string> paths_;
};

} // namespace linvar
