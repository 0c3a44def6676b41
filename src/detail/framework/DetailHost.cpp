#include "detail/framework/DetailHost.h"

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
    if (!request.family)
        return false;
    window_ = request.family->make(deps, in);
    if (!window_)
        return false;
    closed_ = std::move(closed);
    window_->onTrends = onTrends;
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
