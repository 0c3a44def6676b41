#include "ui/Screen.h"

#include "ui/UserError.h"

namespace linvar {

Screen::Screen(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {
    auto root = std::make_unique<Control>("", ControlKind::Panel);
    root_ = root.get();
    controls_.emplace("", std::move(root));
}

void Screen::setCaption(const std::string& c) {
    if (c != caption_) {
        caption_ = c;
        ++captionRevision_;
    }
}

Control& Screen::add(const std::string& parent, Control control) {
    const std::string name = control.name();
    if (name.empty() || controls_.count(name))
        throw UserError("Control " + name + " declared twice or unnamed on " + name_);
    Control& container = at(parent);
    auto owned = std::make_unique<Control>(std::move(control));
    Control* raw = owned.get();
    controls_.emplace(name, std::move(owned));
    parent_[name] = parent;
    container.addChild(name);
    order_.push_back(raw);
    return *raw;
}

Control& Screen::add(const std::string& parent, const std::string& name, ControlKind kind,
                     const std::string& text) {
    return add(parent, Control(name, kind, text));
}

bool Screen::has(const std::string& name) const {
    return controls_.count(name) != 0;
}

// A name that is not declared (a script's typo, a window that lost a control) is the
// station's own error: reported, and the handler or tick step it happened in abandoned.
Control& Screen::at(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw UserError("No control named " + name + " on " + name_);
    return *it->second;
}

const Control& Screen::at(const std::string& name) const {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw UserError("No control named " + name + " on " + name_);
    return *it->second;
}

bool Screen::shown(const std::string& name) const {
    std::string n = name;
    while (!n.empty()) {
        if (!at(n).visible())
            return false;
        n = parent_.at(n);
    }
    return true;
}

void Screen::on(OperatorEvent event, const std::string& name, Handler handler) {
    at(name); // the control must exist
    handlers_[{event, name}] = std::move(handler);
}

bool Screen::fire(OperatorEvent event, const std::string& name) {
    if (!has(name) || !shown(name) || !at(name).enabled())
        return false;
    auto it = handlers_.find({event, name});
    if (it == handlers_.end())
        return event == OperatorEvent::Enter || event == OperatorEvent::Leave;
    guarded(it->second);
    return true;
}

bool Screen::type(const std::string& name, const std::string& text) {
    if (!has(name) || !shown(name) || !at(name).enabled() || at(name).readOnly())
        return false;
    Control& c = at(name);
    std::string t = text;
    if (c.maxLength() > 0 && static_cast<int>(t.size()) > c.maxLength())
        t.resize(static_cast<size_t>(c.maxLength()));
    c.setText(t);
    fire(OperatorEvent::Change, name);
    return true;
}

bool Screen::choose(const std::string& name, int index) {
    if (!has(name) || !shown(name) || !at(name).enabled())
        return false;
    at(name).setSelected(index);
    fire(OperatorEvent::Change, name);
    return true;
}

bool Screen::check(const std::string& name, bool checked) {
    if (!has(name) || !shown(name) || !at(name).enabled())
        return false;
    at(name).setChecked(checked);
    fire(OperatorEvent::Change, name);
    return true;
}

void Screen::guarded(const std::function<void()>& action) const {
    try {
        action();
    } catch (const UserError& e) {
        if (reporter_)
            reporter_(e.what());
        else
            throw;
    }
}

} // namespace linvar
