#include "qt/StationWindows.h"

#include "qt/ScreenView.h"
#include "qt/StationText.h"

#include <QGuiApplication>
#include <algorithm>

namespace linvar {

StationWindows::StationWindows(QObject* parent) : QObject(parent) {}

StationWindows::~StationWindows() = default;

void StationWindows::update(const std::vector<Screen*>& screens) {
    // Close the windows of screens that are no longer open.
    for (auto it = views_.begin(); it != views_.end();) {
        if (std::find(screens.begin(), screens.end(), it->first) == screens.end()) {
            it->second->hide();
            order_.erase(std::remove(order_.begin(), order_.end(), it->first), order_.end());
            it = views_.erase(it);
        } else {
            ++it;
        }
    }
    for (size_t i = 0; i < screens.size(); ++i) {
        Screen* s = screens[i];
        auto it = views_.find(s);
        if (it == views_.end()) {
            auto view = std::make_unique<ScreenView>(*s);
            if (i > 0) {
                // Dialogs and notices stay in front of the main window and keep its
                // buttons out of reach while they are open.
                if (s->modal())
                    view->setWindowModality(Qt::ApplicationModal);
                view->setWindowFlag(Qt::Dialog);
            }
            view->adjustSize();
            view->show();
            view->raise();
            view->activateWindow();
            order_.push_back(s);
            it = views_.emplace(s, std::move(view)).first;
        }
        it->second->sync();
    }
}

ScreenView* StationWindows::view(const Screen& screen) const {
    auto it = views_.find(&screen);
    return it == views_.end() ? nullptr : it->second.get();
}

ScreenView* StationWindows::front() const {
    return order_.empty() ? nullptr : view(*order_.back());
}

void StationWindows::setProgramTitle(const std::string& title) {
    if (title == title_)
        return;
    title_ = title;
    QGuiApplication::setApplicationDisplayName(FromStation(title));
}

} // namespace linvar
