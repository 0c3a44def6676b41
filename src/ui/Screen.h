#pragma once
// One window of the station: a caption and a tree of named controls with the handlers
// of the operator's events. The logic changes controls; the Qt binding (or a test)
// shows them and sends the operator's events back by control name.

#include "ui/Control.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace linvar {

enum class OperatorEvent { Click, DoubleClick, Enter, Leave, Change };

class Screen {
public:
    using Handler = std::function<void()>;
    using ErrorReporter = std::function<void(const std::string&)>;

    Screen(std::string name, std::string caption);
    virtual ~Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c);
    uint64_t captionRevision() const { return captionRevision_; }
    int helpTopic() const { return helpTopic_; }
    void setHelpTopic(int topic) { helpTopic_ = topic; }
    // A window in front of the main one keeps the main window out of reach while open,
    // unless it is one the operator keeps open beside it.
    bool modal() const { return modal_; }
    void setModal(bool m) { modal_ = m; }

    // Declaring the tree: a control under a parent ("" for the root container). A parent
    // that is not declared, or a name declared twice, raises UserError.
    Control& add(const std::string& parent, Control control);
    Control& add(const std::string& parent, const std::string& name, ControlKind kind,
                 const std::string& text = {});
    bool has(const std::string& name) const;
    // The named control; a name that is not declared raises UserError.
    Control& at(const std::string& name);
    const Control& at(const std::string& name) const;
    Control& operator[](const std::string& name) { return at(name); }
    const Control& root() const { return *root_; }
    // Every control in declaration order.
    const std::vector<Control*>& controls() const { return order_; }
    // Visible only when it and all its containers are.
    bool shown(const std::string& name) const;

    void on(OperatorEvent event, const std::string& name, Handler handler);
    void onClick(const std::string& name, Handler h) { on(OperatorEvent::Click, name, h); }
    void onDoubleClick(const std::string& name, Handler h) {
        on(OperatorEvent::DoubleClick, name, h);
    }
    void onEnter(const std::string& name, Handler h) { on(OperatorEvent::Enter, name, h); }
    void onLeave(const std::string& name, Handler h) { on(OperatorEvent::Leave, name, h); }
    void onChange(const std::string& name, Handler h) { on(OperatorEvent::Change, name, h); }

    // The operator's events, by control name. A disabled or hidden control takes none.
    // Returns false when the event was not taken.
    bool fire(OperatorEvent event, const std::string& name);
    bool click(const std::string& name) { return fire(OperatorEvent::Click, name); }
    bool doubleClick(const std::string& name) { return fire(OperatorEvent::DoubleClick, name); }
    bool enter(const std::string& name) { return fire(OperatorEvent::Enter, name); }
    bool leave(const std::string& name) { return fire(OperatorEvent::Leave, name); }
    // Typing replaces the box's text (cut to its maximum length) and raises Change.
    bool type(const std::string& name, const std::string& text);
    // Choosing an entry of a list (or a check box state) raises Change.
    bool choose(const std::string& name, int index);
    bool check(const std::string& name, bool checked);

    // The window's own close button (the frame's X) does what this control does, so a
    // window is never left half closed; without one the window stays. A screen that must
    // close at once, whatever its buttons wait for, closes here itself.
    void setCloseControl(const std::string& name) { closeControl_ = name; }
    virtual bool requestClose() { return !closeControl_.empty() && click(closeControl_); }

    // Where handler and tick failures go (the general error report).
    void setErrorReporter(ErrorReporter r) { reporter_ = std::move(r); }
    // Runs an action of this screen, turning a UserError into the error report.
    void guarded(const std::function<void()>& action) const;

private:
    std::string name_;
    std::string caption_;
    uint64_t captionRevision_ = 1;
    int helpTopic_ = -1;
    bool modal_ = true;
    std::unordered_map<std::string, std::unique_ptr<Control>> controls_;
    std::unordered_map<std::string, std::string> parent_;
    std::vector<Control*> order_;
    Control* root_ = nullptr;
    std::map<std::pair<OperatorEvent, std::string>, Handler> handlers_;
    ErrorReporter reporter_;
    std::string closeControl_;
};

} // namespace linvar
