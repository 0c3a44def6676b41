#pragma once
// One named control of a screen: what the operator sees of it. The logic changes these
// fields through the setters; each real change bumps the revision, so the Qt binding
// repaints only what changed.

#include "ui/Colour.h"

#include <cstdint>
#include <string>
#include <vector>

namespace linvar {

enum class ControlKind { Label, Edit, Combo, Check, Button, Group, Panel, Memo, Picture };

// How a container places its children.
enum class Layout { Column, Row, Grid };

class Control {
public:
    Control(std::string name, ControlKind kind, std::string text = {})
        : name_(std::move(name)), kind_(kind), text_(std::move(text)) {}

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    uint64_t revision() const { return revision_; }

    const std::string& text() const { return text_; }
    Colour background() const { return background_; }
    bool hasBackground() const { return hasBackground_; }
    Colour textColour() const { return textColour_; }
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    bool readOnly() const { return readOnly_; }
    int maxLength() const { return maxLength_; }
    const std::vector<std::string>& items() const { return items_; }
    int selected() const { return selected_; }
    // The selected entry's text, empty when none is selected.
    std::string selectedText() const;
    bool checked() const { return checked_; }
    int fontSize() const { return fontSize_; }
    bool bold() const { return bold_; }
    int helpTopic() const { return helpTopic_; }

    Control& setText(const std::string& t);
    Control& setBackground(Colour c);
    Control& clearBackground();
    Control& setTextColour(Colour c);
    Control& setVisible(bool v);
    Control& setEnabled(bool e);
    Control& setReadOnly(bool r);
    Control& setMaxLength(int n);
    Control& setItems(std::vector<std::string> items);
    // -1 for no selection; out of range also clears the selection.
    Control& setSelected(int index);
    // Selects the entry equal to the text; none when there is no such entry.
    Control& selectText(const std::string& text);
    Control& setChecked(bool c);
    Control& setFont(int size, bool bold = false);
    Control& setHelpTopic(int topic);

    // The tree: a container's children in order, and how it lays them out.
    const std::vector<std::string>& children() const { return children_; }
    Layout layout() const { return layout_; }
    int columns() const { return columns_; }
    Control& setLayout(Layout l, int columns = 0);
    void addChild(const std::string& name) { children_.push_back(name); }
    // Width hint in characters for labels and boxes (0: as the text needs).
    int width() const { return width_; }
    Control& setWidth(int chars);

private:
    void touch() { ++revision_; }

    std::string name_;
    ControlKind kind_;
    std::string text_;
    Colour background_{};
    bool hasBackground_ = false;
    Colour textColour_ = Colours::black;
    bool visible_ = true;
    bool enabled_ = true;
    bool readOnly_ = false;
    int maxLength_ = 0;
    std::vector<std::string> items_;
    int selected_ = -1;
    bool checked_ = false;
    int fontSize_ = 0;
    bool bold_ = false;
    int helpTopic_ = -1;
    std::vector<std::string> children_;
    Layout layout_ = Layout::Column;
    int columns_ = 0;
    int width_ = 0;
    uint64_t revision_ = 1;
};

} // namespace linvar
