#include "Unit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace linvar::sim {

namespace {

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct Civil {
    int year, month, day, hour, minute, second;
};

Civil civilFromSeconds(int64_t s) {
    int64_t days = s >= 0 ? s / 86400 : (s - 86399) / 86400;
    int64_t rest = s - days * 86400;
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
    return {static_cast<int>(y),
            static_cast<int>(m),
            static_cast<int>(d),
            static_cast<int>(rest / 3600),
            static_cast<int>(rest / 60 % 60),
            static_cast<int>(rest % 60)};
}

std::string two(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", ((v % 100) + 100) % 100);
    return buf;
}

std::string padCut(std::string s, size_t width) {
    s.resize(width, ' ');
    return s;
}

// Event-log group of a fault group (the log numbers Rx before Tx).
char eventGroup(int faultGroup) {
    switch (faultGroup) {
    case 1:
        return '1';
    case 2:
        return '3';
    case 3:
        return '2';
    default:
        return '5';
    }
}

} // namespace

int64_t civilSeconds(int year, int month, int day, int hour, int minute, int second) {
    return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
           hour * 3600 + minute * 60 + second;
}

std::string dateDDMMYY(int64_t civil) {
    Civil c = civilFromSeconds(civil);
    return two(c.day) + two(c.month) + two(c.year);
}

std::string dateMMDDYY(int64_t civil) {
    Civil c = civilFromSeconds(civil);
    return two(c.month) + two(c.day) + two(c.year);
}

std::string timeHHMMSS(int64_t civil) {
    Civil c = civilFromSeconds(civil);
    return two(c.hour) + two(c.minute) + two(c.second);
}

Unit::Unit(std::string address, const std::string& model, int64_t clockAtZero, uint64_t seed)
    : address_(std::move(address)), clockAtZero_(clockAtZero), rng_(seed) {
    if (!setModel(model))
        setModel("350");
    if (isModem())
        addEvent('I', '4', '1', 0); // power on
}

bool Unit::knownModel(const std::string& model) {
    return FindModel(model) != nullptr;
}

bool Unit::setModel(const std::string& model) {
    const Model* row = FindModel(model);
    if (!row)
        return false;
    model_ = row;
    applyDefaults();
    return true;
}

void Unit::applyDefaults() {
    identity_ = model_->identity;
    faults_ = model_->faults;
    statsIntervalMin_ = model_->commands.statisticsMinutes;
    config_.clear();
    oduConfig_.clear();
    readings_.clear();
    behaviour_ = model_->behaviour(*this);
    configChanged_ = false;
}

const std::string& FamilyBehaviour::memory(int) const {
    static const std::string none;
    return none;
}

void Unit::setAnswer(const std::string& mnemonic, const std::string& payload) {
    answers_.erase(std::remove_if(answers_.begin(), answers_.end(),
                                  [&](const auto& a) { return a.first == mnemonic; }),
                   answers_.end());
    if (!payload.empty())
        answers_.emplace_back(mnemonic, payload);
}

const std::string* Unit::fixedAnswer(const std::string& mnemonic) const {
    for (const auto& a : answers_)
        if (a.first == mnemonic)
            return &a.second;
    return nullptr;
}

void Unit::setFaults(const std::string& chars, int64_t nowMs) {
    for (size_t i = 0; i < faults_.size(); ++i)
        setFault(static_cast<int>(i) + 1, i < chars.size() ? chars[i] : '0', nowMs);
}

void Unit::setFault(int group, char code, int64_t nowMs) {
    if (group < 1 || group > static_cast<int>(faults_.size()))
        return;
    char old = faults_[group - 1];
    if (old == code)
        return;
    faults_[group - 1] = code;
    if (!isModem())
        return;
    if (old != '0')
        addEvent('C', eventGroup(group), old, nowMs);
    if (code != '0')
        addEvent('F', eventGroup(group), code, nowMs);
}

bool Unit::anyFault() const {
    return faults_.find_first_not_of('0') != std::string::npos;
}

void Unit::setConfig(std::string value, int64_t nowMs) {
    config_ = std::move(value);
    noteConfigChange(nowMs);
}

void Unit::setConfig(std::string value, std::string odu, int64_t nowMs) {
    config_ = std::move(value);
    oduConfig_ = std::move(odu);
    noteConfigChange(nowMs);
}

void Unit::resetConfig(std::string value, std::string odu) {
    config_ = std::move(value);
    oduConfig_ = std::move(odu);
    configChanged_ = false;
}

void Unit::setOduConfig(std::string value, int64_t nowMs) {
    oduConfig_ = std::move(value);
    noteConfigChange(nowMs);
}

void Unit::noteConfigChange(int64_t nowMs) {
    configChanged_ = true;
    if (isModem())
        addEvent('I', '4', '3', nowMs); // global config change
}

std::string Unit::reading(const std::string& mnemonic) const {
    auto it = readings_.find(mnemonic);
    return it == readings_.end() ? std::string() : it->second;
}

const std::string& Unit::memory(int slot) const {
    static const std::string none;
    return behaviour_ && slot >= 0 && slot < memoryCount ? behaviour_->memory(slot) : none;
}

// DAY= (the date in the order DAY? reports it) or TIM= (HHMMSS); the other half of the
// clock stays as it is.
std::string Unit::setClockPart(bool date, const std::string& value, int64_t nowMs) {
    if (value.size() != 6 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return "?";
    const int a = std::stoi(value.substr(0, 2)), b = std::stoi(value.substr(2, 2)),
              c = std::stoi(value.substr(4, 2));
    Civil now = civilFromSeconds(clock(nowMs));
    if (date) {
        const int day = isTransceiver() ? b : a, month = isTransceiver() ? a : b;
        if (month < 1 || month > 12 || day < 1)
            return "?";
        const int64_t t = civilSeconds(2000 + c, month, day, now.hour, now.minute, now.second);
        if (civilFromSeconds(t).day != day)
            return "?"; // no such day in that month
        setClock(t, nowMs);
    } else {
        if (a > 23 || b > 59 || c > 59)
            return "?";
        setClock(civilSeconds(now.year, now.month, now.day, a, b, c), nowMs);
    }
    return "=";
}

void Unit::setUnreachable(bool off, int txoRestores) {
    unreachable_ = off;
    txoRestores_ = txoRestores;
    txoAttempts_ = 0;
}

void Unit::setClock(int64_t civil, int64_t nowMs) {
    clockAtZero_ = civil - nowMs / 1000;
}

void Unit::pushRecord(std::deque<std::string>& log, size_t& readUpTo, size_t capacity,
                      std::string record) {
    log.push_back(std::move(record));
    while (log.size() > capacity) {
        log.pop_front();
        if (readUpTo > 0)
            --readUpTo;
    }
}

void Unit::addEvent(char kind, char group, char code, int64_t nowMs) {
    int64_t t = clock(nowMs);
    pushRecord(events_, eventsRead_, eventCapacity,
               std::string{kind, group, code} + dateDDMMYY(t) + timeHHMMSS(t));
}

void Unit::addStatistics(const std::string& values14, int64_t nowMs) {
    int64_t t = clock(nowMs);
    pushRecord(stats_, statsRead_, statisticsCapacity,
               padCut(values14, 14) + dateDDMMYY(t) + timeHHMMSS(t));
}

void Unit::catchUpStatistics(int64_t nowMs) {
    if (statsIntervalMin_ <= 0)
        return;
    const int64_t interval = int64_t{statsIntervalMin_} * 60000;
    if (nowMs < lastStatsMs_) {
        lastStatsMs_ = nowMs;
        return;
    }
    int64_t n = (nowMs - lastStatsMs_) / interval;
    int64_t first = std::max<int64_t>(0, n - static_cast<int64_t>(statisticsCapacity));
    for (int64_t k = first; k < n; ++k) {
        std::uniform_int_distribution<int> ebno(40, 129), ber(1, 9), exp(3, 9);
        int lo = ebno(rng_);
        int hi = std::min(lo + ebno(rng_) % 20, 199);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d.%d%02d.%d%dE%d%03d", lo / 10 % 100, lo % 10,
                      hi / 10 % 100, hi % 10, ber(rng_), exp(rng_), ebno(rng_) % 1000);
        addStatistics(buf, lastStatsMs_ + (k + 1) * interval);
    }
    lastStatsMs_ += n * interval;
}

void Unit::randomFaultStep(int64_t nowMs) {
    if (randomFaultRate_ <= 0)
        return;
    std::uniform_real_distribution<double> chance(0, 1);
    if (chance(rng_) >= randomFaultRate_)
        return;
    if (anyFault()) {
        for (size_t i = 0; i < faults_.size(); ++i)
            setFault(static_cast<int>(i) + 1, '0', nowMs);
        return;
    }
    static const std::string codes = "123456789A";
    std::uniform_int_distribution<int> pickGroup(1, static_cast<int>(faults_.size()));
    std::uniform_int_distribution<size_t> pickCode(0, codes.size() - 1);
    int group = pickGroup(rng_);
    char code = isSwitch() && group > 1 ? '1' : codes[pickCode(rng_)];
    if (isSwitch() && group == 1)
        code = static_cast<char>('1' + pickCode(rng_) % 5);
    setFault(group, code, nowMs);
}

std::string Unit::fltValue() const {
    const char* mark = configChanged_ ? "1" : "0";
    switch (model_->commands.faultTail) {
    case Commands::FaultTail::Mark:
        return faults_ + mark;
    case Commands::FaultTail::SpareAndMark:
        return faults_ + "0" + mark;
    case Commands::FaultTail::None:
        break;
    }
    return faults_;
}

std::string Unit::ousValue() const {
    if (!partner_)
        return "xxxxxx";
    if (partner_->unreachable_)
        return "NoComm";
    std::string v = partner_->fltValue();
    v.resize(6, '0');
    return v;
}

std::string Unit::readRecords(std::deque<std::string>& log, size_t& readUpTo, size_t width) {
    if (readUpTo >= log.size())
        return "*"; // nothing left to read
    std::string out = "=";
    size_t n = std::min<size_t>(5, log.size() - readUpTo);
    out += static_cast<char>('0' + n);
    for (size_t i = 0; i < 5; ++i) {
        out += i < n ? log[readUpTo + i] : std::string(width, '0');
        out += ',';
    }
    readUpTo += n;
    return out;
}

bool Unit::knows(const std::string& m) const {
    static const char* modem[] = {"FLT", "RED", "OUS", "EID", "TXO", "CID", "MGC", "RNE",
                                  "NUE", "CAE", "DAY", "TIM", "LRS", "FSW", "RCB"};
    static const char* stats[] = {"RNS", "NUS", "CAS"};
    static const char* xcvr[] = {"SFS", "ONL", "RET", "CID", "DAY", "TIM"};
    static const char* sw[] = {"FLT", "EID", "RNE", "NUE", "CAE", "DAY", "TIM", "LRS"};
    auto in = [&](const auto& list) {
        return std::any_of(std::begin(list), std::end(list), [&](const char* s) { return m == s; });
    };
    if (isTransceiver())
        return in(xcvr);
    if (isSwitch())
        return in(sw);
    return in(modem) || (model_->commands.statisticsMinutes > 0 && in(stats));
}

void Unit::startFade(int64_t startMs, int64_t lengthMs, double depthDb) {
    fadeStartMs_ = startMs;
    fadeLengthMs_ = lengthMs;
    fadeDepthDb_ = depthDb;
}

double Unit::fadeDb(int64_t nowMs) const {
    const int64_t t = nowMs - fadeStartMs_;
    if (fadeLengthMs_ <= 0 || t < 0 || t >= fadeLengthMs_)
        return 0;
    const double quarter = static_cast<double>(fadeLengthMs_) / 4;
    const double x = static_cast<double>(t);
    const double share = x < quarter ? x / quarter
                         : x > static_cast<double>(fadeLengthMs_) - quarter
                             ? (static_cast<double>(fadeLengthMs_) - x) / quarter
                             : 1.0;
    return fadeDepthDb_ * share;
}

double Unit::moved(double base, double swing, double noise, int64_t nowMs, int salt) const {
    const int64_t secondOfDay = ((clock(nowMs) % 86400) + 86400) % 86400;
    const double pi = 3.14159265358979;
    const double daily =
        swing * std::cos(2 * pi * (static_cast<double>(secondOfDay) - 14 * 3600) / 86400);
    // Noise that is the same for the same unit, reading and second: replies repeat.
    uint64_t h = std::hash<std::string>{}(address_) ^ (static_cast<uint64_t>(salt) << 32) ^
                 static_cast<uint64_t>(nowMs / 1000);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    const double unit = static_cast<double>(h % 2001) / 1000.0 - 1.0;
    return base + daily + noise * unit;
}

void Unit::moveReadings(int64_t nowMs) {
    const double fade = fadeDb(nowMs);
    char buf[32];
    const double ebno = std::clamp(moved(12.0, 1.0, 0.3, nowMs, 1) - fade, 0.0, 16.0);
    if (ebno >= 16.0)
        readings_["EBN"] = "+016";
    else {
        std::snprintf(buf, sizeof buf, "%04.1f", ebno);
        readings_["EBN"] = buf;
    }
    // Errors grow as Eb/No falls: about one decade a dB and a half.
    std::snprintf(buf, sizeof buf, "1.0E%d", std::clamp(static_cast<int>(ebno / 1.5), 3, 9));
    readings_["BER"] = buf;
    if (!reading("RSL").empty()) {
        std::snprintf(buf, sizeof buf, "==%04.1f", moved(45.0, 0.5, 0.2, nowMs, 2) + fade);
        readings_["RSL"] = buf;
    }
    if (!reading("TMP").empty()) {
        std::snprintf(buf, sizeof buf, "%+03d",
                      static_cast<int>(std::lround(moved(35.0, 4.0, 0.5, nowMs, 3))));
        readings_["TMP"] = buf;
    }
}

std::string Unit::payload(const std::string& command, int64_t nowMs) {
    catchUpStatistics(nowMs);
    if (moving_ && isModem())
        moveReadings(nowMs);
    if (command.size() < 4 || (command[3] != '?' && command[3] != '='))
        return "?";
    const std::string m = command.substr(0, 3);
    const bool query = command[3] == '?';
    const std::string value = command.substr(4);
    if (unreachable_) {
        if (m == "TXO" && !query && value == "1" && txoRestores_ > 0 &&
            ++txoAttempts_ >= txoRestores_) {
            unreachable_ = false;
            txCarrier_ = '1';
            return "=";
        }
        return "~";
    }
    if (const std::string* fixed = fixedAnswer(m))
        return *fixed;
    if (behaviour_)
        if (std::optional<std::string> own = behaviour_->payload(*this, m, query, value, nowMs))
            return *own;
    if (!knows(m))
        return "!";
    if (query && !value.empty())
        return "?";
    if (!query) {
        static const char* settable[] = {"CID", "TXO", "CAE", "CAS", "LRS",
                                         "DAY", "TIM", "FSW", "RCB"};
        if (std::none_of(std::begin(settable), std::end(settable),
                         [&](const char* s) { return m == s; }))
            return "?"; // a query only
        // A unit in local mode still takes the way back to remote.
        if (m != "LRS" && !acceptsSettings())
            return "*";
    }
    const size_t cidWidth = static_cast<size_t>(model_->commands.circuitWidth);

    if (m == "CID") {
        if (query)
            return "=" + padCut(circuitId_, cidWidth);
        circuitId_ = value.substr(0, cidWidth);
        return "=";
    }
    if (m == "TXO") {
        if (query)
            return std::string("=") + txCarrier_;
        if (value.size() != 1 || value[0] < '0' || value[0] > '3')
            return "?";
        txCarrier_ = value[0];
        return "=";
    }
    if (m == "CAE" || m == "CAS") {
        if (query)
            return "?";
        if (m == "CAE") {
            events_.clear();
            eventsRead_ = 0;
        } else {
            stats_.clear();
            statsRead_ = 0;
        }
        return "=";
    }
    if (m == "LRS") {
        if (query)
            return std::string("=") + remoteState_;
        if (value != "0" && value != "1" && value != "3")
            return "?"; // 2 is reserved
        remoteState_ = value[0];
        return "=";
    }
    if ((m == "DAY" || m == "TIM") && !query)
        return setClockPart(m == "DAY", value, nowMs);
    if (m == "FSW" || m == "RCB") {
        if (query || !value.empty())
            return "?";
        if (m == "FSW" && partner_) {
            // The pair changes roles; each answers OUS? for the other from now on.
            const bool wasOnline = online_;
            online_ = partner_->online_;
            partner_->online_ = wasOnline;
            partner_->partner_ = this;
        }
        return "=";
    }
    if (!query)
        return "?"; // the remaining commands are queries only

    if (m == "FLT" || m == "SFS") {
        randomFaultStep(nowMs);
        return "=" + fltValue();
    }
    if (m == "RED" || m == "ONL")
        return online_ ? "=1" : "=0";
    if (m == "OUS")
        return "=" + ousValue();
    if (m == "EID" || m == "RET")
        return "=" + identity_;
    if (m == "MGC") {
        configChanged_ = false;
        return "=" + config_;
    }
    if (m == "RNE")
        return readRecords(events_, eventsRead_, 15);
    if (m == "RNS")
        return readRecords(stats_, statsRead_, 26);
    if (m == "NUE" || m == "NUS") {
        size_t n = m == "NUE" ? unreadEvents() : unreadStatistics();
        const int digits = m == "NUS" ? 3 : model_->commands.eventCountDigits;
        char buf[8];
        std::snprintf(buf, sizeof buf, "%0*zu", digits, n);
        return std::string("=") + buf;
    }
    if (m == "DAY")
        return "=" + (isTransceiver() ? dateMMDDYY(clock(nowMs)) : dateDDMMYY(clock(nowMs)));
    if (m == "TIM")
        return "=" + timeHHMMSS(clock(nowMs));
    return "!";
}

std::string Unit::randomGarbage() {
    std::uniform_int_distribution<int> len(1, 8), byte(0, 255);
    std::string g;
    for (int i = len(rng_); i > 0; --i) {
        char c = static_cast<char>(byte(rng_));
        if (c == '>' || c == '\n')
            c = '#'; // garbage never starts a frame nor ends one
        g += c;
    }
    return g;
}

Response Unit::handle(const std::string& command, int64_t nowMs) {
    Response r;
    const std::string mnemonic = command.substr(0, 3);
    bool silence = false, wrongAddress = false, wrongMnemonic = false, echo = false;
    char refusal = 0;
    std::string garbage;
    std::uniform_real_distribution<double> chance(0, 1);
    for (Injection& inj : injections_) {
        if (inj.count == 0 || (!inj.mnemonic.empty() && inj.mnemonic != mnemonic))
            continue;
        if (inj.probability < 1 && chance(rng_) >= inj.probability)
            continue;
        if (inj.count > 0)
            --inj.count;
        switch (inj.kind) {
        case Injection::Kind::Silence:
            silence = true;
            break;
        case Injection::Kind::Refuse:
            refusal = inj.refusal;
            break;
        case Injection::Kind::WrongAddress:
            wrongAddress = true;
            break;
        case Injection::Kind::WrongMnemonic:
            wrongMnemonic = true;
            break;
        case Injection::Kind::Late:
            r.extraMs += inj.extraMs;
            break;
        case Injection::Kind::Garbage:
            garbage += inj.garbage.empty() ? randomGarbage() : inj.garbage;
            break;
        case Injection::Kind::Echo:
            echo = true;
            break;
        }
    }
    injections_.erase(std::remove_if(injections_.begin(), injections_.end(),
                                     [](const Injection& i) { return i.count == 0; }),
                      injections_.end());
    if (echo)
        r.echo = "<" + address_ + "/" + command + "\r";
    if (silence) {
        r.silent = true;
        return r;
    }
    std::string body = refusal ? std::string(1, refusal) : payload(command, nowMs);
    std::string address = address_;
    if (wrongAddress) {
        int n = std::atoi(address_.c_str());
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04d", (n + 1) % 10000);
        address = buf;
    }
    std::string m = mnemonic;
    if (wrongMnemonic)
        m = m == "RED" ? "FLT" : "RED";
    r.bytes = garbage + ">" + address + "/" + m + body + "\r\n";
    return r;
}

} // namespace linvar::sim
