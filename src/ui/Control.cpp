#include "ui/Control.h"

namespace linvar {

std::string Control::selectedText() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(items_.size()))
        return {};
    return items_[static_cast<size_t>(selected_)];
}

Control& Control::setText(const std::string& t) {
    if (t != text_) {
        text_ = t;
        touch();
    }
    return *this;
}

Control& Control::setBackground(Colour c) {
    if (!hasBackground_ || !(c == background_)) {
        background_ = c;
        hasBackground_ = true;
        touch();
    }
    return *this;
}

Control& Control::clearBackground() {
    if (hasBackground_) {
        hasBackground_ = false;
        touch();
    }
    return *this;
}

Control& Control::setTextColour(Colour c) {
    if (!(c == textColour_)) {
        textColour_ = c;
        touch();
    }
    return *this;
}

Control& Control::setVisible(bool v) {
    if (v != visible_) {
        visible_ = v;
        touch();
    }
    return *this;
}

Control& Control::setEnabled(bool e) {
    if (e != enabled_) {
        enabled_ = e;
        touch();
    }
    return *this;
}

Control& Control::setReadOnly(bool r) {
    if (r != readOnly_) {
        readOnly_ = r;
        touch();
    }
    return *this;
}

Control& Control::setMaxLength(int n) {
    if (n != maxLength_) {
        maxLength_ = n;
        touch();
    }
    return *this;
}

Control& Control::setItems(std::vector<std::string> items) {
    if (items != items_) {
        items_ = std::move(items);
        if (selected_ >= static_cast<int>(items_.size()))
            selected_ = -1;
        touch();
    }
    return *this;
}

Control& Control::setSelected(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size()))
        index = -1;
    if (index != selected_) {
        selected_ = index;
        touch();
    }
    return *this;
}

Control& Control::selectText(const std::string& text) {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text)
            return setSelected(static_cast<int>(i));
    return setSelected(-1);
}

Control& Control::setChecked(bool c) {
    if (c != checked_) {
        checked_ = c;
        touch();
    }
    return *this;
}

Control& Control::setFont(int size, bool bold) {
    if (size != fontSize_ || bold != bold_) {
        fontSize_ = size;
        bold_ = bold;
        touch();
    }
    return *this;
}

Control& Control::setHelpTopic(int topic) {
    if (topic != helpTopic_) {
        helpTopic_ = topic;
        touch();
    }
    return *this;
}

Control& Control::setLayout(Layout l, int columns) {
    layout_ = l;
    columns_ = columns;
    touch();
    return *this;
}

Control& Control::setWidth(int chars) {
    if (chars != width_) {
        width_ = chars;
        touch();
    }
    return *this;
}

} // namespace linvar
