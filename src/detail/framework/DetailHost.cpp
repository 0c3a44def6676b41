#include "detail/framework/DetailHost.h"

#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "detail/mqx350/Mqx350Window.h"
#include "detail/mqx370/Mqx370Window.h"
#include "detail/pld/PldWindow.h"
#include "detail/switch/SwitchWindow.h"
#include "detail/vorn/VornWindow.h"
#include "ui/Operator.h"

namespace linvar {

DetailHost::DetailHost(StationParts station, ShowFn show)
    : st_(std::move(station)), show_(std::move(show)) {}

DetailHost::~DetailHost() = default;

bool DetailHost::open(const DetailRequest& request, std::function<void(bool)> closed) {
    if (window_)
        return false;
    // The window's one-shot timers run on its own tick.
    const DetailDeps deps{st_.tx,  st_.port,  st_.capture, st_.clock,     st_.op,
                          timers_, st_.setup, st_.print,   st_.programDir};
    DetailInputs in{request.UnitAddress, request.UnitName, request.IdentityCode, request.CurrentEnd,
                    request.ModemPairPresent};
    switch (request.family) {
    case DetailFamily::Mqx310:
        window_ = std::make_unique<Mqx310Window>(deps, in);
        break;
    case DetailFamily::Mqx330:
        window_ = std::make_unique<Mqx330Window>(deps, in);
        break;
    case DetailFamily::Mqx350:
        window_ = std::make_unique<Mqx350Window>(deps, in);
        break;
    case DetailFamily::Switch:
        window_ = std::make_unique<SwitchWindow>(deps, in);
        break;
    case DetailFamily::Mqx370:
        window_ = std::make_unique<Mqx370Window>(deps, in);
        break;
    case DetailFamily::Vorn:
        window_ = std::make_unique<VornWindow>(deps, in);
        break;
    case DetailFamily::Pld:
        window_ = std::make_unique<PldWindow>(deps, in);
        break;
    default:
        return false;
    }
    closed_ = std::move(closed);
    window_->setErrorReporter([this](const std::string& t) { st_.op.report(t); });
    window_->Activate();
    show_(*window_, true);
    return true;
}

void DetailHost::Tick() {
    if (!window_)
        return;
    timers_.advance(kTickMs);
    window_->Tick();
    if (!window_->Closed())
        return;
    const bool changed = window_->DetailConfigChanged;
    show_(*window_, false);
    window_.reset();
    // A window closed while its reply was awaited leaves that exchange to nobody: the main
    // window's own steps go on from here (its mode change would wait for the reply for good).
    st_.tx.AwaitingReply = false;
    st_.tx.TimeoutLeft = 0;
    auto closed = std::move(closed_);
    closed_ = nullptr;
    if (closed)
        closed(changed);
}

} // namespace linvar
