#include "detail/modem/ModemWindow.h"

#include "logging/Print.h"

#include "wire/TextFormats.h"

namespace linvar {

void ModemWindow::OtherReply(const std::string& label, const std::string& reply, int length) {
    SetValue(label, Chars(reply, 2, length), State().ReplyColour);
}

void ModemWindow::Show(const std::string& label, const std::string& reply, const Reading& reading) {
    if (StartsWith(reply, "="))
        SetValue(label, reading.text, reading.colour);
    else
        OtherReply(label, reply);
}

ReadStep ModemWindow::Lrs(int step, int next) {
    return {step, "LRS?", [this, next](const std::string& r) {
                DecodeLrs(r, "StaLRS");
                return next;
            }};
}

ReadStep ModemWindow::IdentityText(int step, const char* query, const char* label, int length,
                                   int next) {
    return {step, query,
            [this, label, length](const std::string& r) {
                if (StartsWith(r, "="))
                    SetValue(label, Chars(r, 2, length), Colours::white);
                else
                    SetValue(label, Chars(r, 2, 14), Colours::yellow);
                return 0;
            },
            next};
}

ReadStep ModemWindow::Count(int step, const char* query, const char* label, int next) {
    return {step, query,
            [this, label](const std::string& r) {
                if (StartsWith(r, "=")) {
                    const int n = IntOfText(Chars(r, 2, 3));
                    SetValue(label, std::to_string(n), n < 221 ? Colours::white : Colours::yellow);
                } else {
                    OtherReply(label, r, 14);
                }
                return 0;
            },
            next};
}

ReadStep ModemWindow::ReadingStep(int step, const char* query, const char* label, Decoder decode,
                                  int next, int failNext) {
    return {step, query,
            [this, label, decode](const std::string& r) {
                Show(label, r, StartsWith(r, "=") ? decode(r.substr(1)) : Reading{});
                return 0;
            },
            next, failNext};
}

ReadStep ModemWindow::SerialNumber(int step, int next) {
    return IdentityText(step, "SNO?", "StaSNO", 8, next);
}

ReadStep ModemWindow::CircuitId(int step, int next) {
    return IdentityText(step, "CID?", "StaCID", 25, next);
}

ReadStep ModemWindow::RemoteEbNo(int step, int next) {
    return ReadingStep(step, "REB?", "StaREB", RemoteEbNoReading, next);
}

ReadStep ModemWindow::PowerIncrease(int step, int next) {
    return ReadingStep(step, "PLI?", "StaPLI", PowerIncreaseReading, next);
}

ReadStep ModemWindow::Faults(int step, const FaultReplyShape& shape,
                             std::function<void(const std::string&)> decode, int next) {
    return {step, "FLT?",
            [this, shape, decode](const std::string& r) {
                if (StartsWith(r, "=")) {
                    const FaultReply faults = ReadFaultReply(r, shape);
                    decode(faults.codes);
                    if (faults.changeMark)
                        state().DetailConfigChanged = true;
                    deps().print.PrintFaultLine(faults, UnitName, IdText(), clock());
                } else {
                    SetValue("StaUnit", Chars(r, 2, 20), Colours::yellow);
                    SetValue("StaTx", "", Colours::gray);
                    SetValue("StaRx", "", Colours::gray);
                }
                return 0;
            },
            next};
}

ModemWindow::Decoder ModemWindow::UnitText(int length, const char* unit) {
    return [length, unit](const std::string& v) { return Reading{Chars(v, 1, length) + unit}; };
}

std::function<int(const std::string&)>
ModemWindow::WhenAccepted(std::function<void(const std::string& reply)> fill) {
    return [fill](const std::string& r) {
        if (Accepted(r))
            fill(r);
        return 0;
    };
}

void ModemWindow::AddViewButtons(const std::string& parent) {
    add(parent, "BtnAupc", ControlKind::Button, "View AU&PC");
    add(parent, "BtnOdu", ControlKind::Button, "View &ODU param");
    onClick("BtnAupc", [this] {
        const bool show = !at("GrpAupc").visible();
        at("GrpAupc").setVisible(show);
        at("BtnAupc").setText(show ? "Hide AU&PC" : "View AU&PC");
        if (show) {
            at("GrpOdu").setVisible(false);
            at("GrpUnit").setVisible(true);
            at("BtnOdu").setText("View &ODU param");
        }
    });
    onClick("BtnOdu", [this] {
        const bool show = !at("GrpOdu").visible();
        at("GrpOdu").setVisible(show);
        at("GrpUnit").setVisible(!show);
        at("BtnOdu").setText(show ? "Hide &ODU param" : "View &ODU param");
    });
}

void ModemWindow::BuildOptions(const std::string& parent, std::vector<OptionLine> lines) {
    optionLines_ = std::move(lines);
    add(parent, "BtnOptions", ControlKind::Button, "Show Installed &Options");
    AddGroup(parent, "OptionsBox", "Installed Options").setVisible(false);
    for (const OptionLine& l : optionLines_) {
        add("OptionsBox", l.control + "Cap", ControlKind::Label, l.caption);
        add("OptionsBox", l.control, ControlKind::Edit).setReadOnly(true).setWidth(22);
    }
    add("OptionsBox", "OptNote", ControlKind::Label,
        "Other available options may be viewed. Contact factory to upgrade unit.");
    onClick("BtnOptions", [this] {
        const bool show = !at("OptionsBox").visible();
        at("OptionsBox").setVisible(show);
        at("BtnOptions").setText(show ? "Hide Installed &Options" : "Show Installed &Options");
    });
}

void ModemWindow::ShowOptions(const std::string& identity) {
    for (const OptionLine& l : optionLines_)
        at(l.control).setText(
            EntryOf(l.texts, l.position < identity.size() ? identity[l.position] : '0'));
}

void ModemWindow::OnModeAdopted() {
    if (optionLines_.empty())
        return;
    at("OptionsBox").setVisible(false);
    at("BtnOptions").setText("Show Installed &Options");
}

ReadStep ModemWindow::Redundancy(int step, const char* offline, const char* online,
                                 std::function<int()> next) {
    return {step, "RED?", [this, offline, online, next](const std::string& r) {
                const std::string v = Chars(r, 2, 1);
                // Every reading decides: after a switchover the unit may no longer carry
                // the traffic, and an unclear answer does not make it the on-line one.
                state().OnlineUnit = StartsWith(r, "=") && v == "1";
                if (StartsWith(r, "=") && v == "0") {
                    SetValue("StaRED", offline, Colours::yellow);
                } else if (StartsWith(r, "=") && v == "1") {
                    SetValue("StaRED", online, Colours::white);
                } else if (StartsWith(r, "=")) {
                    SetValue("StaRED", "Invalid code received: " + r, State().ReplyColour);
                } else {
                    OtherReply("StaRED", r);
                }
                EnableButtons(false, true, true, true);
                return next();
            }};
}

ReadStep ModemWindow::SlaveAddress(const char* box) {
    return {ModemReads::SlaveAddress, "ESA?", [this, box](const std::string& r) {
                if (r == kNoComms) {
                    ShowInstruction("No comms with modem. Config data not avail.");
                    LockConfig(false);
                    return ConfigSteps::Idle;
                }
                if (StartsWith(r, "="))
                    SetBoxText(box, SubInt(r, 2, 4));
                return ConfigSteps::SetConfig;
            }};
}

ReadStep ModemWindow::Countdown(int step, std::function<int()> next) {
    return {step, "CTD?", [this, next](const std::string& r) {
                const std::string v = Chars(r, 2, 3);
                if (StartsWith(r, "=") && v != "000")
                    at("StaCTD").setText(v + " sec").setVisible(true);
                else
                    at("StaCTD").setVisible(false);
                return next();
            }};
}

void ModemWindow::FecRules(const char* type, const char* mod, const char* coding, FecIndices f) {
    const int fec = at(type).selected();
    const int modulation = at(mod).selected();
    at(mod).setEnabled(fec != f.tcmRs);
    at(coding).setEnabled(fec != f.tcmRs && fec != f.uncoded &&
                          !(modulation == 0 && fec != f.ldpc));
}

std::string ModemWindow::TestModeCommand(const char* box, int ioLoopback) {
    if (DistantEnd && at(box).selected() != ioLoopback) {
        at(box).setSelected(0);
        state().ConfirmText =
            "Change Unit Test Mode to" + at(box).selectedText() + ". Comms may be affected.";
    }
    return "TST=" + std::to_string(at(box).selected());
}

} // namespace linvar
