#pragma once
// The poll cycle on the in-process simulator with link edit and switch edit hooked in,
// driven by control name as the operator would.

#include "poll/PollHarness.h"

#include "edit/LinkEdit.h"
#include "edit/SwitchEdit.h"

#include <string>
#include <vector>

using Texts = std::vector<std::string>;

struct EditHarness : PollHarness {
    linvar::LinkEdit link{cycle};
    linvar::SwitchEdit sw{cycle};
    bool linkShown = false;
    bool swShown = false;

    EditHarness() {
        link.onShown = [this](bool on) { linkShown = on; };
        sw.onShown = [this](bool on) { swShown = on; };
    }

    // The summary's "Edit" button of link n (or "BtnEditRM1", "BtnEditSw2", ...), then
    // the ticks that take the mode.
    void ClickEdit(const std::string& button) {
        if (cycle.tx.CurrentMode.empty())
            Start();
        screen.click(button);
        // The mode is taken once no reply is awaited.
        for (int i = 0; i < 400 && !link.Editing() && !sw.Editing(); ++i)
            Tick();
    }
    void OpenLink(int n) { ClickEdit("BtnEdit" + std::to_string(n)); }
    void OpenSwitch(int s) { ClickEdit("BtnEditSw" + std::to_string(s)); }

    // Typing into a box and leaving it.
    void Enter(linvar::Screen& s, const std::string& box, const std::string& text) {
        s.type(box, text);
        s.leave(box);
    }
    void Enter(const std::string& box, const std::string& text) { Enter(link, box, text); }

    // Each control's text, then its background's name after a '/'.
    static Texts Shown(const linvar::Screen& s, const Texts& controls) {
        Texts out;
        for (const auto& c : controls)
            out.push_back(s.at(c).text() + "/" + linvar::colourName(s.at(c).background()));
        return out;
    }
    Texts Boxes(const Texts& controls) const { return Shown(link, controls); }
    Texts SwBoxes(const Texts& controls) const { return Shown(sw, controls); }
    std::string Text(const std::string& control) const { return link.at(control).text(); }
    std::string Error() const { return link.at("LblError").text(); }
    // The four unit addresses of a record, joined by ','.
    std::string Addrs(int record) const {
        const linvar::EndRecord& e = setup.rec(record);
        return e.Mod1Addr.str() + "," + e.Mod2Addr.str() + "," + e.Tr1Addr.str() + "," +
               e.Tr2Addr.str();
    }
};
