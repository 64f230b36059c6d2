// The worldwide highscore over HTTP: the game's form handler, the list page
// in the game's look and the list as JSON. One line per request goes to the
// log (standard error by default).
#pragma once

#include <QHostAddress>
#include <QHttpServer>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "highscore/uINetConfig.h"
#include "server/uHighscoreStore.h"

class QHttpServerRequest;
class QHttpServerResponse;

namespace tessum::server {

inline constexpr const char* AddPath = inetconfig::Action;
inline constexpr const char* PagePath = inetconfig::PagePath;
inline constexpr const char* ApiPath = "/api/highscore";
inline constexpr int RowsPerPage = 100;

struct TServerOptions {
    // Submissions one client address may make within a minute; 0: no limit.
    int SubmissionsPerMinute = 60;
    // Milliseconds of a steady clock; tests put their own in.
    std::function<std::int64_t()> Clock;
    // Receives each log line without its line break; empty: standard error.
    std::function<void(const QString&)> Log;
    // Arrival time of an entry, UTC "YYYY-MM-DD HH:MM:SS"; empty: now.
    std::function<std::string()> Now;
};

// Keeps the times of each client's recent submissions, a minute's worth.
class TRateLimiter {
public:
    explicit TRateLimiter(int PerMinute) : perMinute_(PerMinute) {}
    // True when the client may make one more submission at Now (milliseconds).
    bool Allow(const QHostAddress& Client, std::int64_t Now);
    std::size_t Clients() const { return clients_.size(); }

private:
    int perMinute_;
    std::map<QString, std::deque<std::int64_t>> clients_;
    std::int64_t lastSweep_ = 0;
};

class THighscoreServer {
public:
    // Countries: keys and shown names of the game's country list.
    THighscoreServer(THighscoreStore& Store, std::vector<std::pair<std::string, std::string>> Countries,
                     TServerOptions Options = {});

    // Listens on Address:Port (0: any free port); returns the port or 0.
    std::uint16_t Listen(const QHostAddress& Address, std::uint16_t Port);

    // The answers, without the network.
    QHttpServerResponse Submit(const QHttpServerRequest& Request);
    QByteArray PageHtml(int Variant, int Page);
    QByteArray ListJson(int Variant);

    // Entries stored and refused since the start.
    int Stored() const { return stored_; }
    int Refused() const { return refused_; }

private:
    void Log(const QString& Line) const;
    std::int64_t Now() const;
    std::string CountryName(const std::string& Key) const;

    THighscoreStore& store_;
    std::set<std::string> countryKeys_;
    std::map<std::string, std::string> countryNames_;
    TServerOptions options_;
    TRateLimiter limiter_;
    QHttpServer http_;
    int stored_ = 0;
    int refused_ = 0;
};

// Text with &, <, >, " and ' as HTML references.
QString HtmlEscape(const QString& Text);

}  // namespace tessum::server
