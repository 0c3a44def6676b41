#include "export/StatusServer.h"

#include <httplib.h>

#include <chrono>

namespace linvar {

StatusServer::StatusServer() : snapshot_(std::make_shared<const StatusSnapshot>()) {}

StatusServer::~StatusServer() {
    Stop();
}

void StatusServer::Publish(std::shared_ptr<const StatusSnapshot> snapshot) {
    std::lock_guard lock(mutex_);
    snapshot_ = std::move(snapshot);
}

void StatusServer::SetReadings(ReadingsCsv csv) {
    std::lock_guard lock(mutex_);
    readings_ = std::move(csv);
}

std::shared_ptr<const StatusSnapshot> StatusServer::Current() const {
    std::lock_guard lock(mutex_);
    return snapshot_;
}

int StatusServer::Start(const std::string& address, int port, std::string& error) {
    Stop();
    server_ = std::make_unique<httplib::Server>();
    httplib::Server& s = *server_;
    // Two workers are plenty for a few scrapers and keep the station's processor free.
    // No port sharing: a second station on the same port must fail, not split the scrapes.
    s.set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    s.new_task_queue = [] { return new httplib::ThreadPool(2); };
    const auto serve = [this](std::string (*render)(const StatusSnapshot&), const char* type) {
        return [this, render, type](const httplib::Request&, httplib::Response& res) {
            res.set_content(render(*Current()), type);
        };
    };
    s.Get("/status", serve(StatusJson, "application/json"));
    s.Get("/alarms", serve(AlarmsJson, "application/json"));
    s.Get("/metrics", serve(MetricsText, "text/plain; version=0.0.4; charset=utf-8"));
    s.Get("/readings", [this](const httplib::Request& req, httplib::Response& res) {
        ReadingsCsv csv;
        {
            std::lock_guard lock(mutex_);
            csv = readings_;
        }
        const auto fail = [&res](int status, const std::string& why) {
            res.status = status;
            res.set_content(why + "\n", "text/plain; charset=utf-8");
        };
        if (!csv)
            return fail(404, "The station keeps no readings (readings are off).");
        const std::string address = req.get_param_value("address");
        if (address.empty())
            return fail(400, "address is required: /readings?address=0101&reading=ebno_db");
        const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
        const std::string fromText = req.get_param_value("from");
        const std::string toText = req.get_param_value("to");
        const auto from =
            fromText.empty() ? std::optional<int64_t>(now - 86400000) : ParseUtcMs(fromText);
        const auto to = toText.empty() ? std::optional<int64_t>(now) : ParseUtcMs(toText);
        if (!from || !to)
            return fail(400, "from and to are seconds since 1970 or 2026-12-06T09:00:00Z");
        res.set_content(csv(address, req.get_param_value("reading"), *from, *to),
                        "text/csv; charset=utf-8");
    });
    const auto refuse = [](const httplib::Request& req, httplib::Response& res) {
        if (req.path != "/status" && req.path != "/alarms" && req.path != "/metrics" &&
            req.path != "/readings") {
            res.status = 404;
            return;
        }
        res.status = 405;
        res.set_header("Allow", "GET, HEAD");
    };
    s.Post(".*", refuse);
    s.Put(".*", refuse);
    s.Delete(".*", refuse);
    s.Patch(".*", refuse);
    s.Options(".*", refuse);
    const int bound = port == 0                       ? s.bind_to_any_port(address)
                      : s.bind_to_port(address, port) ? port
                                                      : -1;
    if (bound < 0) {
        error =
            "The status export could not listen on " + address + ":" + std::to_string(port) + ".";
        server_.reset();
        return -1;
    }
    thread_ = std::thread([&s] { s.listen_after_bind(); });
    // A stop before the loop runs would be lost and the join would wait for ever.
    for (int i = 0; i < 2000 && !s.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void StatusServer::Stop() {
    if (server_)
        server_->stop();
    if (thread_.joinable())
        thread_.join();
    server_.reset();
}

} // namespace linvar
