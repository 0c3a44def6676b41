#pragma once
// A Screen as Qt widgets. The view builds one widget per control, shows the controls'
// changes on sync() (only controls whose revision moved), and sends the operator's
// events back to the screen by control name. It decides nothing itself.

#include "ui/Screen.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace linvar {

class ScreenView : public QWidget {
    Q_OBJECT
public:
    using Reporter = std::function<void(const std::string&)>;

    explicit ScreenView(Screen& screen, QWidget* parent = nullptr);

    Screen& screen() const { return screen_; }
    // Shows what changed since the last sync: the caption and every control whose
    // revision moved. Called on every tick and after every operator event. A control in
    // a hidden container is shown as it is when its container is shown.
    void sync();
    // The widget of a control (null for an unknown name).
    QWidget* widget(const std::string& name) const;
    // Where a UserError out of an event handler goes when the screen has no reporter.
    void setReporter(Reporter r) { reporter_ = std::move(r); }
    // Widgets repainted by sync() so far (tests and benchmarks).
    uint64_t updates() const { return updates_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The frame's close button goes to the screen, which closes the window its own way.
    void closeEvent(QCloseEvent* event) override;

private:
    struct Entry {
        const Control* control;
        QWidget* widget;
        uint64_t revision;
        // What the minimum width was worked out for: measuring text is dear, the
        // width and font rarely change.
        int sizedChars = 0;
        int sizedFontSize = 0;
        bool sizedBold = false;
    };

    QWidget* build(const Control& c, QWidget* parent);
    void fillContainer(const Control& c, QWidget* w);
    void connectEvents(const Control& c, QWidget* w);
    void apply(Entry& e);
    // Whether the widget's containers are all shown in this window.
    bool inShownContainer(const QWidget* w) const;
    // Runs an operator's event on the screen, then shows what its handler changed.
    void forward(const std::function<void()>& event);

    Screen& screen_;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, size_t> byName_;
    std::unordered_map<const QObject*, std::string> nameOf_;
    uint64_t captionRevision_ = 0;
    uint64_t updates_ = 0;
    Reporter reporter_;
    bool forwarding_ = false;
};

} // namespace linvar
