// A port that does not open says why, in the words of the system.

#include "serial/ComPortMap.h"
#include "serial/SerialPort.h"

#include "PtyHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(SerialPort, APortThatDoesNotOpenNamesTheReason) {
    TempDir dir;
    dir.write("plain.txt", "");
    const struct {
        std::string device;
        const char* said;
    } cases[] = {
        {"/dev/linvar-no-such-port", "No such file or directory"},
        {"/sys/kernel/uevent_seqnum", "Permission denied"}, // read-only, even for root
        {(dir.path() / "plain.txt").string(), "Inappropriate ioctl for device"},
    };
    for (const auto& c : cases) {
        if (!std::filesystem::exists(c.device) && c.device.rfind("/sys", 0) == 0)
            continue;
        DirectDispatcher ui;
        ComPortMap map;
        map.set(2, c.device);
        SerialPort port(ui, map);
        std::vector<std::string> boxes;
        port.SetErrorDialog([&](const std::string& t) { boxes.push_back(t); });
        port.SetPort(2);
        port.SetOpen(true);
        EXPECT_FALSE(port.IsOpen()) << c.device;
        EXPECT_EQ(boxes, std::vector<std::string>{c.said}) << c.device;
    }
}
