// linvar-sim: serves the units of a set-up file on a pseudo-terminal or serial device.

#include "Bus.h"
#include "DemoInstallation.h"
#include "PtyServer.h"
#include "SetupReader.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace linvar::sim;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

const char* usageText =
    "usage: linvar-sim --setup FILE [--pty | --device PATH] [options]\n"
    "  --setup FILE        station set-up file whose units are served\n"
    "  --pty               serve on a new pseudo-terminal; its path is printed (default)\n"
    "  --device PATH       serve on a serial device instead\n"
    "  --baud N            line speed of --device (default 9600)\n"
    "  --latency MS        reply latency of the bus (default 20)\n"
    "  --seed N            seed of the random faults and statistics (default 1)\n"
    "  --model ADDR=CODE   model of one unit: 310 7010 330 331 350 351 370 371 372 373\n"
    "                      VORN YRAN PLD PLD-LNB 420 430 (repeatable)\n"
    "  --identity ADDR=ID  the unit's identity as EID? gives it (after --model), e.g.\n"
    "                      5330120000 for a turbo MQX-330T receiving only (repeatable)\n"
    "  --faults RATE       chance (0-1) per status query of a random fault change\n"
    "  --inject ADDR=KIND  fault of one unit: silence, refuse*, refuse?, refuse!, refuse~,\n"
    "                      wrongaddr, wrongmne, late:MS, garbage, echo, unreachable,\n"
    "                      fade[:SECONDS] (Eb/No falls by 8 dB and comes back; 600 s)\n"
    "  --local ADDR        the unit starts in LOCAL mode: settings refused (repeatable)\n"
    "  --demo              give the units of the demo's set-up file their models and\n"
    "                      faults (linvar --demo writes that file)\n"
    "  --still             readings that do not move (they follow the clock of the day,\n"
    "                      with noise, unless this is given)\n"
    "  --verbose           show every request and reply on stderr\n";

int usage(const std::string& problem) {
    if (!problem.empty())
        std::fprintf(stderr, "linvar-sim: %s\n", problem.c_str());
    std::fputs(usageText, stderr);
    return 2;
}

bool parseNumber(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool splitPair(const std::string& text, std::string& key, std::string& value) {
    auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
        return false;
    key = text.substr(0, eq);
    value = text.substr(eq + 1);
    return true;
}

bool applyInjection(Unit& unit, const std::string& kind) {
    if (kind == "silence")
        unit.inject(Injection::silence());
    else if (kind.size() == 7 && kind.rfind("refuse", 0) == 0 && std::strchr("*?!~", kind[6]))
        unit.inject(Injection::refuse(kind[6]));
    else if (kind == "wrongaddr")
        unit.inject(Injection::wrongAddress());
    else if (kind == "wrongmne")
        unit.inject(Injection::wrongMnemonic());
    else if (kind.rfind("late:", 0) == 0) {
        long long ms = 0;
        if (!parseNumber(kind.substr(5), 0, 600000, ms))
            return false;
        unit.inject(Injection::late(static_cast<int>(ms)));
    } else if (kind == "garbage")
        unit.inject(Injection::garbageBytes());
    else if (kind == "echo")
        unit.inject(Injection::echo());
    else if (kind == "unreachable")
        unit.setUnreachable(true);
    else if (kind == "fade" || kind.rfind("fade:", 0) == 0) {
        long long seconds = 600;
        if (kind != "fade" && !parseNumber(kind.substr(5), 4, 86400, seconds))
            return false;
        unit.startFade(0, seconds * 1000);
    } else
        return false;
    return true;
}

speed_t baudConstant(long long baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

bool makeRaw(int fd, speed_t speed) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (speed != B0) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "[cr]";
        else if (c == '\n')
            out += "[lf]";
        else if (c < 0x20 || c > 0x7e) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "[%02x]", c);
            out += buf;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::string setupPath, devicePath;
    bool usePty = false, verbose = false, demo = false, still = false;
    long long latency = 20, seed = 1, baud = 9600;
    double faultRate = 0;
    std::vector<std::pair<std::string, std::string>> models, injections, identities;
    std::vector<std::string> locals;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string value, key, val;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usageText, stdout);
            return 0;
        } else if (arg == "--setup") {
            if (!next(setupPath))
                return usage("--setup needs a file");
        } else if (arg == "--pty") {
            usePty = true;
        } else if (arg == "--device") {
            if (!next(devicePath))
                return usage("--device needs a path");
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (arg == "--latency") {
            if (!next(value) || !parseNumber(value, 0, 600000, latency))
                return usage("--latency needs milliseconds (0-600000)");
        } else if (arg == "--seed") {
            if (!next(value) || !parseNumber(value, 0, 1LL << 62, seed))
                return usage("--seed needs a whole number");
        } else if (arg == "--baud") {
            if (!next(value) || !parseNumber(value, 1, 1000000, baud) || baudConstant(baud) == B0)
                return usage("--baud needs 1200, 2400, 4800, 9600, 19200, 38400, 57600 or "
                             "115200");
        } else if (arg == "--faults") {
            char* end = nullptr;
            if (!next(value) || (faultRate = std::strtod(value.c_str(), &end), *end != '\0') ||
                faultRate < 0 || faultRate > 1)
                return usage("--faults needs a rate between 0 and 1");
        } else if (arg == "--model") {
            if (!next(value) || !splitPair(value, key, val) || !Unit::knownModel(val))
                return usage("--model needs ADDR=CODE with a known model code");
            models.emplace_back(key, val);
        } else if (arg == "--identity") {
            if (!next(value) || !splitPair(value, key, val) || val.empty())
                return usage("--identity needs ADDR=ID");
            identities.emplace_back(key, val);
        } else if (arg == "--local") {
            if (!next(value))
                return usage("--local needs an address");
            locals.push_back(value);
        } else if (arg == "--still") {
            still = true;
        } else if (arg == "--inject") {
            if (!next(value) || !splitPair(value, key, val))
                return usage("--inject needs ADDR=KIND");
            injections.emplace_back(key, val);
        } else {
            return usage("unknown argument '" + arg + "'");
        }
    }
    if (setupPath.empty())
        return usage("--setup is required");
    if (usePty && !devicePath.empty())
        return usage("choose either --pty or --device");

    Bus bus(static_cast<uint64_t>(seed));
    bus.setLatencyMs(static_cast<int>(latency));
    bus.setMoving(!still);
    {
        // The units' clocks start at the computer's local time.
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        bus.setClockAtZero(civilSeconds(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                        local.tm_hour, local.tm_min, local.tm_sec));
    }
    try {
        SetupResult r = demo ? populateDemo(bus, setupPath) : populateFromSetupFile(bus, setupPath);
        for (const auto& w : r.warnings)
            std::fprintf(stderr, "linvar-sim: %s\n", w.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "linvar-sim: %s\n", e.what());
        return 1;
    }
    for (const auto& [address, model] : models) {
        Unit* u = bus.find(address);
        if (!u && !bus.add(address, model))
            return usage("--model: '" + address + "' is not a four-digit address");
        if (u)
            u->setModel(model);
    }
    for (const auto& [address, id] : identities) {
        Unit* u = bus.find(address);
        if (!u)
            return usage("--identity: no unit at '" + address + "'");
        u->setIdentity(id);
    }
    bus.setRandomFaultRate(faultRate);
    for (const auto& [address, kind] : injections) {
        Unit* u = bus.find(address);
        if (!u)
            return usage("--inject: no unit at '" + address + "'");
        if (!applyInjection(*u, kind))
            return usage("--inject: unknown fault '" + kind + "'");
    }
    for (const auto& address : locals) {
        Unit* u = bus.find(address);
        if (!u)
            return usage("--local: no unit at '" + address + "'");
        u->setRemoteState('0');
    }

    PtyServer server(bus);
    if (demo)
        server.setTicker(advanceDemo);
    if (verbose)
        server.setTracer([](bool incoming, const std::string& bytes) {
            std::fprintf(stderr, "%s: %s\n", incoming ? "in " : "out", visible(bytes).c_str());
        });
    if (!devicePath.empty()) {
        int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            std::fprintf(stderr, "linvar-sim: cannot open %s: %s\n", devicePath.c_str(),
                         std::strerror(errno));
            return 1;
        }
        if (isatty(fd) && !makeRaw(fd, baudConstant(baud))) {
            std::fprintf(stderr, "linvar-sim: cannot set up %s: %s\n", devicePath.c_str(),
                         std::strerror(errno));
            ::close(fd);
            return 1;
        }
        server.serve(fd);
    } else {
        try {
            std::printf("%s\n", server.start().c_str());
            std::fflush(stdout);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "linvar-sim: %s\n", e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "linvar-sim: serving %zu units\n", bus.size());

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    while (!stopRequested && server.running()) {
        timespec pause{0, 20 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    const std::string why = server.failure();
    server.stop();
    if (!why.empty()) {
        std::fprintf(stderr, "linvar-sim: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
