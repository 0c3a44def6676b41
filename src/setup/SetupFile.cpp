#include "setup/SetupFile.h"

#include "ui/TextFile.h"
#include "wire/TextFormats.h"

#include <algorithm>

namespace linvar {

namespace {

constexpr int LinesPerRecord = 10;

// A line break inside a field would shift every later field of the file by a line.
std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::vector<std::string> splitAtCommas(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

void readSettingsLine(SystemSetup& setup, const std::string& line, int& offsetEntry) {
    if (line.empty() || line.find(',') == std::string::npos)
        return;
    const std::vector<std::string> f = splitAtCommas(line);
    auto number = [&](std::size_t i) { return i < f.size() ? ParseInt(f[i]).value : 0; };

    setup.AutoLogEnabled = !f[0].empty() && f[0][0] == '1';

    const int interval = number(1);
    if (SystemSetup::AutoLogMinutesOf(interval) != 0) {
        setup.AutoLogIntervalIndex = interval;
        setup.AutoLogIntervalMinutes = SystemSetup::AutoLogMinutesOf(interval);
    } else {
        setup.AutoLogIntervalIndex = SystemSetup::NoEntry;
    }

    // Checked against the longer list: the length of the list follows the interval
    // just read, and an offset above 9 with the 10-minute interval falls back later.
    const int offset = number(2);
    const auto longest = SystemSetup::AutoLogOffsetEntries(1).size();
    offsetEntry = offset >= 0 && offset < static_cast<int>(longest) ? offset : SystemSetup::NoEntry;
}

} // namespace

bool SetupFileNameIsSafe(const std::string& setupFileName) {
    const std::string piece = setupFileName.size() > 1 ? setupFileName.substr(1, 12) : "";
    if (piece.empty() || piece == "." || piece == "..")
        return false;
    return piece.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::filesystem::path SetupFilePath(const std::string& setupFileName,
                                    const std::filesystem::path& programDir) {
    if (!SetupFileNameIsSafe(setupFileName))
        return programDir / std::string(SystemSetup::DefaultSetupFileName.substr(1));
    return programDir / setupFileName.substr(1, 12);
}

void ReadSetupFileName(SystemSetup& setup, const std::filesystem::path& programDir) {
    const auto lines = TextFile::readLines(programDir / SetupNameFile);
    if (!lines)
        setup.SetupFileName = std::string(SystemSetup::DefaultSetupFileName);
    else
        setup.SetupFileName = lines->empty() ? std::string() : lines->front();
}

void WriteSetupFileName(SystemSetup& setup, const std::filesystem::path& programDir) {
    const std::string& name = setup.SetupFileName;
    if (name.size() < 2 || name[0] != ' ' || name[1] != 'S')
        setup.SetupFileName = std::string(SystemSetup::DefaultSetupFileName);
    TextFile::replace(programDir / SetupNameFile, {oneLine(setup.SetupFileName)});
}

void LoadSetupLines(SystemSetup& setup, const std::optional<std::vector<std::string>>& lines) {
    setup.AutoLogIntervalMinutes = 23;
    setup.AutoLogOffsetIndex = 1;
    setup.AutoLogEnabled = false;
    int offsetEntry = setup.AutoLogOffsetEntry();

    if (!lines) {
        for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
            setup.rec(r).SetDefaults();
            setup.rec(r).EndColour = Colours::gray;
        }
    } else {
        static const std::string none;
        auto line = [&](std::size_t i) -> const std::string& {
            return i < lines->size() ? (*lines)[i] : none;
        };
        for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
            EndRecord& e = setup.rec(r);
            const std::size_t base = static_cast<std::size_t>(r - 1) * LinesPerRecord;
            e.Mod1Addr = line(base + 0);
            e.Mod2Addr = line(base + 1);
            e.Tr1Addr = line(base + 2);
            e.Tr2Addr = line(base + 3);
            e.IdText = line(base + 4);
            e.InfoText = line(base + 5);
            e.DelayText = line(base + 6);
            e.TimeoutText = line(base + 7);
            e.AddrSpec = line(base + 8);
            e.PairFlag = line(base + 9);

            e.EndColour = Colours::gray;
            if (e.DelayText.empty() || e.DelayText == "54")
                e.DelayText = "50";
            if (e.TimeoutText.empty())
                e.TimeoutText = "2";
            if (e.AddrSpec.empty())
                e.AddrSpec = "90";
        }
        const std::size_t settings = SystemSetup::RecordCount * LinesPerRecord;
        if (lines->size() > settings)
            readSettingsLine(setup, (*lines)[settings], offsetEntry);
    }

    setup.SettleAutoLogLists(offsetEntry);
    setup.RecomputeAnyEndActive();
}

std::vector<std::string> SetupLines(const SystemSetup& setup) {
    std::vector<std::string> lines;
    lines.reserve(SetupFileLineCount);
    for (int r = 1; r <= SystemSetup::RecordCount; ++r) {
        const EndRecord& e = setup.rec(r);
        for (const std::string* field :
             {&e.Mod1Addr.str(), &e.Mod2Addr.str(), &e.Tr1Addr.str(), &e.Tr2Addr.str(),
              &e.IdText.str(), &e.InfoText.str(), &e.DelayText.str(), &e.TimeoutText.str(),
              &e.AddrSpec.str(), &e.PairFlag.str()})
            lines.push_back(oneLine(*field));
    }
    const int interval = std::max(setup.AutoLogIntervalIndex, 0);
    lines.push_back(std::string(setup.AutoLogEnabled ? "1," : "0,") + std::to_string(interval) +
                    "," + std::to_string(setup.AutoLogOffsetIndex));
    return lines;
}

void LoadSetup(SystemSetup& setup, const std::filesystem::path& programDir) {
    LoadSetupLines(setup, TextFile::readLines(SetupFilePath(setup.SetupFileName, programDir)));
}

void SaveSetup(SystemSetup& setup, const std::filesystem::path& programDir) {
    const auto& entries = SystemSetup::SetupFileEntries();
    if (std::find(entries.begin(), entries.end(), setup.SetupFileName) == entries.end())
        setup.SetupFileName = entries.front();
    TextFile::replace(SetupFilePath(setup.SetupFileName, programDir), SetupLines(setup));
    WriteSetupFileName(setup, programDir);
}

} // namespace linvar
