#pragma once
// Keeps one window on screen for every screen the station has open (the main window
// first, dialogs in front of it, modal), repaints what changed after each tick, and
// carries the worst state in the program's title.

#include "ui/Screen.h"

#include <QObject>
#include <map>
#include <memory>
#include <vector>

namespace linvar {

class ScreenView;

class StationWindows : public QObject {
    Q_OBJECT

public:
    explicit StationWindows(QObject* parent = nullptr);
    ~StationWindows() override;

    // Shows, hides and repaints the windows for this stack of screens (front last).
    void update(const std::vector<Screen*>& screens);
    ScreenView* view(const Screen& screen) const;
    ScreenView* front() const;
    // Sets the program title shown in the task bar.
    void setProgramTitle(const std::string& title);

private:
    std::map<const Screen*, std::unique_ptr<ScreenView>> views_;
    std::vector<const Screen*> order_;
    std::string title_;
};

} // namespace linvar
