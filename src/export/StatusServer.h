#pragma once
// The read-only status export: GET /status, /alarms and /metrics over HTTP on a thread
// of its own. The user-interface thread hands it finished snapshots; the server thread
// never touches the station.

#include "export/StatusSnapshot.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace linvar {

class StatusServer {
public:
    StatusServer();
    ~StatusServer();
    StatusServer(const StatusServer&) = delete;
    StatusServer& operator=(const StatusServer&) = delete;

    // Listens on ADDR:PORT (PORT 0: any free one). Returns the port, or -1 with the
    // reason in `error`.
    int Start(const std::string& address, int port, std::string& error);
    void Stop();

    void Publish(std::shared_ptr<const StatusSnapshot> snapshot);

    // GET /readings?address=A&reading=R&from=..&to=..: the CSV of the readings history,
    // called on the server's thread (the history reads are thread-safe). None: readings
    // are off, and the path answers 404.
    using ReadingsCsv = std::function<std::string(
        const std::string& address, const std::string& reading, int64_t fromMs, int64_t toMs)>;
    void SetReadings(ReadingsCsv csv);

private:
    std::shared_ptr<const StatusSnapshot> Current() const;

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::shared_ptr<const StatusSnapshot> snapshot_;
    ReadingsCsv readings_;
};

} // namespace linvar
