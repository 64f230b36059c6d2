#include "server/uHighscoreServer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>
#include <cstdio>

#include "highscore/uINetConfig.h"

namespace tessum::server {

namespace {

using TStatus = QHttpServerResponder::StatusCode;

QHttpServerResponse Text(int Status, const QString& Line) {
    return QHttpServerResponse(QByteArrayLiteral("text/plain; charset=utf-8"), (Line + u'\n').toUtf8(),
                               static_cast<TStatus>(Status));
}

const char* MethodName(QHttpServerRequest::Method Method) {
    switch (Method) {
        case QHttpServerRequest::Method::Get: return "GET";
        case QHttpServerRequest::Method::Post: return "POST";
        case QHttpServerRequest::Method::Head: return "HEAD";
        case QHttpServerRequest::Method::Put: return "PUT";
        case QHttpServerRequest::Method::Delete: return "DELETE";
        case QHttpServerRequest::Method::Options: return "OPTIONS";
        default: return "OTHER";
    }
}

// A number from the query, Default when absent or not a number in range.
int QueryInt(const QHttpServerRequest& Request, const char* Key, int Default, int Min, int Max) {
    bool ok = false;
    const int v = Request.query().queryItemValue(QLatin1String(Key)).toInt(&ok);
    return ok && v >= Min && v <= Max ? v : Default;
}

// "time client method path status bytes"; the path stays percent-encoded so
// that a line is always one line.
QString LogLine(const QHttpServerRequest& Request, int Status, qsizetype Bytes) {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate) + u' ' + Request.remoteAddress().toString() + u' ' +
           QLatin1String(MethodName(Request.method())) + u' ' + Request.url().path(QUrl::FullyEncoded).left(200) +
           u' ' + QString::number(Status) + u' ' + QString::number(Bytes);
}

QString Q(const std::string& Text) { return QString::fromStdString(Text); }

// Wood of the board, the paper of the game's tables.
constexpr const char* kStyle = R"(
body { margin: 0; font-family: "Liberation Sans", Arial, sans-serif; color: #2b1a0c;
  background: #5a3a1e linear-gradient(90deg, #6b4524 0%, #5a3a1e 30%, #6e4826 55%, #55361b 80%, #66411f 100%); }
header { padding: 18px 28px 10px; color: #fbe9c8; text-shadow: 0 1px 2px #2b1a0c; }
header h1 { margin: 0; font-size: 26px; letter-spacing: 1px; }
header p { margin: 4px 0 0; font-size: 13px; color: #e8cfa3; }
main { margin: 0 24px 24px; }
nav { display: flex; gap: 4px; }
nav a { padding: 7px 18px; border-radius: 8px 8px 0 0; background: #b98550; color: #2b1a0c;
  text-decoration: none; font-weight: bold; border: 1px solid #3d250f; border-bottom: none; }
nav a.active { background: #f6e7c9; }
.sheet { background: #f6e7c9; border: 1px solid #3d250f; border-radius: 0 8px 8px 8px; padding: 12px;
  box-shadow: 0 3px 10px rgba(0,0,0,.45); }
table { border-collapse: collapse; width: 100%; font-size: 14px; }
th { background: #c9955c; color: #2b1a0c; text-align: right; padding: 5px 9px; border-bottom: 2px solid #7a4f27; }
td { padding: 4px 9px; text-align: right; border-bottom: 1px solid #e0c9a0; }
th.l, td.l { text-align: left; }
tr:nth-child(even) td { background: #fdf5e3; }
td.rank { font-weight: bold; color: #7a4f27; }
.empty { padding: 24px; text-align: center; color: #7a4f27; }
.pages { margin-top: 10px; font-size: 13px; }
.pages a { color: #6b3f12; margin-right: 12px; }
)";

}  // namespace

QString HtmlEscape(const QString& Text) { return Text.toHtmlEscaped().replace(u'\'', QLatin1String("&#39;")); }

bool TRateLimiter::Allow(const QHostAddress& Client, std::int64_t Now) {
    if (perMinute_ <= 0) return true;
    constexpr std::int64_t Window = 60 * 1000;
    // Clients that have been quiet for a minute are forgotten, so the table
    // does not grow with every address ever seen.
    if (Now - lastSweep_ > Window) {
        for (auto it = clients_.begin(); it != clients_.end();) {
            if (it->second.empty() || Now - it->second.back() >= Window)
                it = clients_.erase(it);
            else
                ++it;
        }
        lastSweep_ = Now;
    }
    std::deque<std::int64_t>& times = clients_[Client.toString()];
    while (!times.empty() && Now - times.front() >= Window) times.pop_front();
    if (static_cast<int>(times.size()) >= perMinute_) return false;
    times.push_back(Now);
    return true;
}

THighscoreServer::THighscoreServer(THighscoreStore& Store, std::vector<std::pair<std::string, std::string>> Countries,
                                   TServerOptions Options)
    : store_(Store), options_(std::move(Options)), limiter_(options_.SubmissionsPerMinute) {
    for (auto& [key, name] : Countries) {
        countryKeys_.insert(key);
        countryNames_[key] = name;
    }
    http_.route(AddPath, QHttpServerRequest::Method::Post,
                [this](const QHttpServerRequest& Request) { return Submit(Request); });
    http_.route(PagePath, QHttpServerRequest::Method::Get, [this](const QHttpServerRequest& Request) {
        return QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"),
                                   PageHtml(QueryInt(Request, "variant", 1, 1, inetconfig::Variants),
                                            QueryInt(Request, "page", 1, 1, 1 << 20)));
    });
    http_.route(ApiPath, QHttpServerRequest::Method::Get, [this](const QHttpServerRequest& Request) {
        return QHttpServerResponse(QByteArrayLiteral("application/json"),
                                   ListJson(QueryInt(Request, "variant", 1, 1, inetconfig::Variants)));
    });
    http_.afterRequest([this](QHttpServerResponse&& Response, const QHttpServerRequest& Request) {
        Log(LogLine(Request, static_cast<int>(Response.statusCode()), Response.data().size()));
        return std::move(Response);
    });
    http_.setMissingHandler([this](const QHttpServerRequest& Request, QHttpServerResponder&& Responder) {
        Log(LogLine(Request, 404, 10));
        Responder.write(QByteArrayLiteral("not found\n"), QByteArrayLiteral("text/plain; charset=utf-8"),
                        TStatus::NotFound);
    });
}

std::uint16_t THighscoreServer::Listen(const QHostAddress& Address, std::uint16_t Port) {
    return http_.listen(Address, Port);
}

void THighscoreServer::Log(const QString& Line) const {
    if (options_.Log) {
        options_.Log(Line);
        return;
    }
    std::fprintf(stderr, "%s\n", Line.toLocal8Bit().constData());
    std::fflush(stderr);
}

std::int64_t THighscoreServer::Now() const {
    if (options_.Clock) return options_.Clock();
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    // Never 0, so that the first minute of a fresh clock counts too.
    return clock.elapsed() + 1;
}

std::string THighscoreServer::CountryName(const std::string& Key) const {
    const auto it = countryNames_.find(Key);
    return it == countryNames_.end() ? Key : it->second;
}

QHttpServerResponse THighscoreServer::Submit(const QHttpServerRequest& Request) {
    if (!limiter_.Allow(Request.remoteAddress(), Now())) {
        ++refused_;
        QHttpServerResponse r = Text(429, QStringLiteral("refused: more than %1 submissions a minute")
                                              .arg(options_.SubmissionsPerMinute));
        r.setHeader(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("60"));
        return r;
    }
    const QByteArray body = Request.body();
    TNetEntry entry;
    const TFormVerdict verdict = ParseHighscoreForm(std::string_view(body.constData(), body.size()), countryKeys_, entry);
    if (!verdict.Ok()) {
        ++refused_;
        return Text(verdict.Status, QStringLiteral("refused: ") + Q(verdict.Reason));
    }
    const std::string received =
        options_.Now ? options_.Now()
                     : QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    QString error;
    switch (store_.Add(entry, received, &error)) {
        case THighscoreStore::TAdd::Stored: ++stored_; return Text(200, QStringLiteral("stored"));
        case THighscoreStore::TAdd::Duplicate: return Text(200, QStringLiteral("already stored"));
        case THighscoreStore::TAdd::Failed: break;
    }
    Log(QStringLiteral("database error: ") + error.simplified());
    return Text(503, QStringLiteral("the entry could not be stored, try again later"));
}

QByteArray THighscoreServer::ListJson(int Variant) {
    QJsonArray rows;
    const int count = store_.Count(Variant);
    for (const TListRow& r : store_.List(Variant, 0, count)) {
        QJsonObject o;
        o.insert(QStringLiteral("rank"), r.Rank);
        o.insert(QStringLiteral("name"), Q(r.Entry.Name));
        o.insert(QStringLiteral("punkte"), Q(FormatHundredths(r.Entry.Punkte)));
        o.insert(QStringLiteral("punktegegner"), r.Entry.PunkteGegner);
        o.insert(QStringLiteral("runden"), r.Entry.Runden);
        o.insert(QStringLiteral("zeit"), Q(FormatZeit(r.Entry.Zeit)));
        o.insert(QStringLiteral("land"), Q(CountryName(r.Entry.Land)));
        o.insert(QStringLiteral("received"), Q(r.Received));
        rows.append(o);
    }
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

QByteArray THighscoreServer::PageHtml(int Variant, int Page) {
    const int count = store_.Count(Variant);
    const int pages = std::max(1, (count + RowsPerPage - 1) / RowsPerPage);
    Page = std::min(Page, pages);
    QString h;
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                        "<title>TESSUM worldwide highscore</title><style>");
    h += QLatin1String(kStyle);
    h += QStringLiteral("</style></head><body><header><h1>TESSUM &ndash; worldwide highscore</h1>"
                        "<p>The best results of all players, by share of the stones won, then by time.</p></header>"
                        "<main><nav>");
    for (int v = 1; v <= inetconfig::Variants; ++v)
        h += QStringLiteral("<a href=\"%1?variant=%2\"%3>Variant %2</a>")
                 .arg(QLatin1String(PagePath))
                 .arg(v)
                 .arg(v == Variant ? QStringLiteral(" class=\"active\"") : QString());
    h += QStringLiteral("</nav><div class=\"sheet\">");
    const std::vector<TListRow> rows = store_.List(Variant, (Page - 1) * RowsPerPage, RowsPerPage);
    if (rows.empty()) {
        h += QStringLiteral("<div class=\"empty\">No results in variant %1 yet.</div>").arg(Variant);
    } else {
        h += QStringLiteral("<table><tr><th>#</th><th class=\"l\">Name</th><th class=\"l\">Country</th>"
                            "<th>Points</th><th>Opponent</th><th>Moves</th><th>Time</th>"
                            "<th>Received</th></tr>");
        for (const TListRow& r : rows) {
            // One pass of arg: a "%1" inside a name must stay text.
            h += QStringLiteral("<tr><td class=\"rank\">%1</td><td class=\"l\">%2</td><td class=\"l\">%3</td>"
                                "<td>%4</td><td>%5</td><td>%6</td><td>%7</td><td>%8</td></tr>")
                     .arg(QString::number(r.Rank), HtmlEscape(Q(r.Entry.Name)),
                          HtmlEscape(Q(CountryName(r.Entry.Land))), HtmlEscape(Q(FormatHundredths(r.Entry.Punkte))),
                          QString::number(r.Entry.PunkteGegner), QString::number(r.Entry.Runden),
                          HtmlEscape(Q(FormatZeit(r.Entry.Zeit))), HtmlEscape(Q(r.Received.substr(0, 10))));
        }
        h += QStringLiteral("</table>");
    }
    if (pages > 1) {
        h += QStringLiteral("<div class=\"pages\">");
        if (Page > 1)
            h += QStringLiteral("<a href=\"%1?variant=%2&amp;page=%3\">&larr; better</a>")
                     .arg(QLatin1String(PagePath))
                     .arg(Variant)
                     .arg(Page - 1);
        h += QStringLiteral("page %1 of %2 ").arg(Page).arg(pages);
        if (Page < pages)
            h += QStringLiteral("<a href=\"%1?variant=%2&amp;page=%3\">further &rarr;</a>")
                     .arg(QLatin1String(PagePath))
                     .arg(Variant)
                     .arg(Page + 1);
        h += QStringLiteral("</div>");
    }
    h += QStringLiteral("</div></main></body></html>\n");
    return h.toUtf8();
}

}  // namespace tessum::server
