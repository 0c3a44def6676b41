#include "app/Demo.h"

#include "readings/ReadingsSettings.h"
#include "serial/CommsDialog.h"
#include "setup/SetupFile.h"
#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace linvar {

namespace {

namespace fs = std::filesystem;

struct DemoEnd {
    const char* units[UnitSlotCount];
    const char* info;
};

struct DemoLink {
    const char* id;
    DemoEnd local;
    DemoEnd distant;
};

// The simulator gives these addresses their models and faults.
const DemoLink demoLinks[] = {
    {"LONDON-1",
     {{"1100", "", "0111", ""}, "Healthy link, logged every 10 minutes."},
     {{"0150", "", "0151", ""}, SystemSetup::LogMarker.data()}},
    {"PARIS-2",
     {{"1200", "0201", "0211", "0212"}, "1:1 modem pair and transceiver pair."},
     {{"0250", "", "0251", ""}, "1:1 pair at the DISTANT end."}},
    {"MADRID-3",
     {{"1300", "", "0311", ""}, "The DISTANT modem reports a Tx fault; an LNB transceiver here."},
     {{"0350", "", "", ""}, ""}},
    {"ROME-4",
     {{"1400", "", "0411", ""}, "The DISTANT modem does not answer."},
     {{"0450", "", "", ""}, ""}},
    {"OSLO-5",
     {{"1500", "", "", ""}, "The DISTANT modem's Rx fault comes and goes."},
     {{"0550", "", "0551", ""}, ""}},
    {"VIENNA-6",
     {{"1600", "", "", ""}, "The DISTANT transceiver reports a fault."},
     {{"0650", "", "0651", ""}, ""}},
};

void fillEnd(EndRecord& e, const std::string& id, const DemoEnd& d) {
    e.SetDefaults();
    for (int slot = 0; slot < UnitSlotCount; ++slot)
        e.addr(slot) = d.units[slot];
    e.IdText = id;
    e.InfoText = d.info;
    e.DelayText = "50";
    e.TimeoutText = "2";
}

} // namespace

SystemSetup DemoSetup() {
    SystemSetup s;
    for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
        s.rec(r).SetDefaults();
        s.rec(r).DelayText = "50";
        s.rec(r).TimeoutText = "2";
    }
    int n = 1;
    for (const DemoLink& link : demoLinks) {
        fillEnd(s.rec(SystemSetup::LocalRecord(n)), link.id, link.local);
        fillEnd(s.rec(SystemSetup::DistantRecord(n)), link.id, link.distant);
        ++n;
    }
    // Link 2's DISTANT end is a 1:1 pair whose off-line modem answers through OUS?.
    s.rec(SystemSetup::DistantRecord(2)).PairFlag = "1";

    // One switch of each model (the simulator gives 7000 the other one).
    for (const auto& [n, address] : {std::pair{1, "1000"}, std::pair{2, "7000"}}) {
        EndRecord& sw = s.rec(SystemSetup::SwitchRecord(n));
        sw.Mod1Addr = address;
        sw.IdText = "SWITCH-" + std::to_string(n);
        EndRecord& red = s.rec(SystemSetup::RedundantModemRecord(n));
        red.Mod1Addr = SystemSetup::RedundantModemAddress(address);
        red.IdText = "REDUNDANT-" + std::to_string(n);
    }

    s.AutoLogEnabled = true;
    s.ChooseAutoLogInterval(0); // " 10 mins"
    s.ChooseAutoLogOffset(1);
    s.SetupFileName = std::string(SystemSetup::DefaultSetupFileName);
    s.RecomputeAnyEndActive();
    s.ResetDisplayColours();
    return s;
}

void WriteDemoFiles(const fs::path& dir) {
    SystemSetup s = DemoSetup();
    SaveSetup(s, dir);
    TextFile::replace(dir / CommsSettingsFileName, {std::to_string(DemoComPort) + ",9600,0"});
    // Readings every half minute, so the demo's charts fill while it runs.
    TextFile::replace(dir / ReadingsSettings::kFileName,
                      {"interval = 30s", "warning ebno_db < 6 for 2", "fault ebno_db < 5 for 2"});
}

fs::path MakeDemoFolder(const fs::path& parent) {
    fs::path base = parent;
    if (base.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        if (runtime && *runtime && fs::is_directory(runtime, ec))
            base = runtime;
        else
            base = fs::temp_directory_path(ec);
    }
    std::string pattern = (base / "linvar-demo-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw UserError::fromErrno(errno);
    const fs::path dir = pattern;
    WriteDemoFiles(dir);
    return dir;
}

} // namespace linvar
