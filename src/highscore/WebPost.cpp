#include "highscore/WebPost.h"

#include <QApplication>
#include <QByteArray>
#include <QEventLoop>
#include <QHostAddress>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace tessum {

namespace {

int CodeOf(QNetworkReply::NetworkError Error) {
    switch (Error) {
        case QNetworkReply::HostNotFoundError: return wpeNameNotResolved;
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::UnknownNetworkError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyNotFoundError: return wpeCannotConnect;
        case QNetworkReply::TimeoutError:
        case QNetworkReply::ProxyTimeoutError: return wpeTimeout;
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::ProxyConnectionClosedError: return wpeConnectionReset;
        case QNetworkReply::ProtocolUnknownError:
        case QNetworkReply::ProtocolFailure: return wpeInvalidResponse;
        default: return wpeConnectionAborted;
    }
}

std::string ToText(const QString& Text) { return Text.toLatin1().toStdString(); }

// The first line of a refusal's body, cut to a sensible length, for the player.
std::string FirstLine(const std::string& Body) {
    std::string line = Body.substr(0, Body.find_first_of("\r\n"));
    if (line.size() > 200) line.resize(200);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return line;
}

}  // namespace

TWebPost::TWebPost(QObject* Owner) : QObject(Owner) {
    // The desktop's proxy settings apply, as they did for the platform's
    // internet client.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

TWebPost::~TWebPost() {
    if (reply_) reply_->abort();
}

void TWebPost::Cancel() {
    cancelled_ = true;
    emit Cancelling();
}

void TWebPost::ReportError(int Code, const std::string& Text) {
    lastErrorCode_ = Code;
    lastErrorText_ = Text;
    if (Code == wpeNone || Code == wpeCancelled || Text.empty()) return;
    if (OnError) {
        OnError(*this, Text, Code);
        return;
    }
    // Without widgets (a console program) there is no box to show.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromLatin1(Text.c_str()));
}

bool TWebPost::Execute() {
    response_.clear();
    lastErrorCode_ = wpeNone;
    lastErrorText_.clear();
    lastStatus_ = 0;
    if (cancelled_) {
        ReportError(wpeCancelled, "The operation was cancelled");
        return false;
    }
    if (Deadline.hasExpired()) {
        ReportError(wpeTimeout, "The operation timed out");
        return false;
    }

    if (!nam_) nam_ = new QNetworkAccessManager(this);
    // A proxy cannot reach this machine's own loopback addresses.
    const QString host = QString::fromLatin1(Server.c_str());
    const QHostAddress address(host);
    const bool local = host == QLatin1String("localhost") || (!address.isNull() && address.isLoopback());
    nam_->setProxy(local ? QNetworkProxy(QNetworkProxy::NoProxy) : QNetworkProxy(QNetworkProxy::DefaultProxy));

    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(Port);
    url.setPath(QString::fromLatin1(Action.empty() ? "/" : Action.c_str()), QUrl::TolerantMode);
    QNetworkRequest request(url);
    // Set as raw header so that it goes out exactly as written.
    request.setRawHeader(QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setRawHeader(QByteArrayLiteral("User-Agent"), QByteArray(PostAgent));
    request.setRawHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    request.setRawHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    const QByteArray body = QByteArray::fromStdString(BuildPostBody(Items));
    QNetworkReply* reply = nam_->post(request, body);
    reply_ = reply;

    const std::size_t maxBody = MaxResponseBytes < 0 ? 0 : static_cast<std::size_t>(MaxResponseBytes);
    std::string received;
    bool cutOff = false;
    bool timedOut = false;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire early, before the deadline counts as spent.
    timer.setTimerType(Qt::PreciseTimer);
    // The wait never grows with what the server sends: neither a trickle of
    // bytes nor endless interim answers move this limit.
    const qint64 left = Deadline.isForever() ? TimeoutMs : std::min<qint64>(TimeoutMs, Deadline.remainingTime());
    timer.setInterval(static_cast<int>(std::max<qint64>(0, left)));

    auto readSome = [&] {
        while (!cutOff && reply->bytesAvailable() > 0) {
            const QByteArray chunk = reply->read(std::min<qint64>(reply->bytesAvailable(), 64 * 1024));
            if (chunk.isEmpty()) break;
            const std::size_t room = maxBody - received.size();
            received.append(chunk.constData(), std::min<std::size_t>(room, static_cast<std::size_t>(chunk.size())));
            if (received.size() >= maxBody) {
                // Nothing in the answer is used; the rest is not worth the wait.
                cutOff = true;
                loop.quit();
            }
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, readSome);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    QObject::connect(this, &TWebPost::Cancelling, &loop, &QEventLoop::quit);

    timer.start();
    if (!reply->isFinished()) loop.exec();
    timer.stop();
    QObject::disconnect(reply, nullptr, &loop, nullptr);
    if (!cutOff) readSome();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    lastStatus_ = status.isValid() ? status.toInt() : 0;
    const bool finished = reply->isFinished();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    reply_ = nullptr;
    if (!finished) reply->abort();
    reply->deleteLater();

    if (cancelled_) {
        ReportError(wpeCancelled, "The operation was cancelled");
        return false;
    }
    if (lastStatus_ >= 400) {
        // The server took the request and turned the entry down; its first
        // line says why.
        response_ = received;
        ReportError(wpeRefused, "The server refused the data (HTTP " + std::to_string(lastStatus_) + "): " +
                                    FirstLine(received));
        return false;
    }
    if (cutOff || (finished && error == QNetworkReply::NoError && lastStatus_ > 0)) {
        response_ = received;
        return true;
    }
    if (lastStatus_ > 0) {
        // The server answered but the rest broke off: not worth a message of
        // its own, the caller's failure notice says enough.
        lastErrorCode_ = timedOut ? wpeTimeout : error != QNetworkReply::NoError ? CodeOf(error) : wpeConnectionReset;
        return false;
    }
    if (timedOut)
        ReportError(wpeTimeout, "The operation timed out");
    else if (error != QNetworkReply::NoError)
        ReportError(CodeOf(error), ToText(errorText));
    else
        ReportError(wpeInvalidResponse, "The server returned an invalid or unrecognized response");
    return false;
}

}  // namespace tessum
