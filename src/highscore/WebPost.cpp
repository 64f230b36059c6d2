#include "highscore/WebPost.h"

#include <QApplication>
#include <QByteArray>
#include <QEventLoop>
#include <QMessageBox>
#include <QTcpSocket>
#include <QTimer>

namespace tessum {

namespace {

int CodeOf(QAbstractSocket::SocketError Error) {
    switch (Error) {
        case QAbstractSocket::HostNotFoundError: return wpeNameNotResolved;
        case QAbstractSocket::ConnectionRefusedError:
        case QAbstractSocket::NetworkError: return wpeCannotConnect;
        case QAbstractSocket::SocketTimeoutError: return wpeTimeout;
        case QAbstractSocket::RemoteHostClosedError: return wpeConnectionReset;
        default: return wpeConnectionAborted;
    }
}

std::string ToText(const QString& Text) { return Text.toLatin1().toStdString(); }

}  // namespace

TWebPost::TWebPost(QObject* Owner) : QObject(Owner) {}

void TWebPost::ReportError(int Code, const std::string& Text) {
    lastErrorCode_ = Code;
    lastErrorText_ = Text;
    if (Code == wpeNone || Text.empty()) return;
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

    const std::string body = BuildPostBody(Items);
    QByteArray request = QByteArray::fromStdString(BuildPostHead(Server, Port, Action, body.size()));
    request += QByteArray::fromStdString(body);

    const std::size_t maxBody = MaxResponseBytes < 0 ? 0 : static_cast<std::size_t>(MaxResponseBytes);
    THttpResponseReader reader(maxBody);
    using TState = THttpResponseReader::TState;

    QTcpSocket socket;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);

    bool timedOut = false;
    int errorCode = wpeNone;
    QString errorText;

    auto stop = [&] {
        timer.stop();
        loop.quit();
    };
    auto readAll = [&] {
        while (reader.State() == TState::NeedMore && socket.bytesAvailable() > 0) {
            char buf[4096];
            const qint64 n = socket.read(buf, sizeof buf);
            if (n <= 0) break;
            reader.Feed(buf, static_cast<std::size_t>(n));
        }
        if (reader.State() != TState::NeedMore) stop();
    };

    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, readAll);
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, [&] {
        readAll();
        reader.Finish();
        stop();
    });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError Error) {
        if (Error == QAbstractSocket::RemoteHostClosedError) {
            // The server's close ends the answer; what it means is decided
            // from the bytes received.
            readAll();
            reader.Finish();
        } else {
            errorCode = CodeOf(Error);
            errorText = socket.errorString();
        }
        stop();
    });
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });

    timer.start(TimeoutMs < 0 ? 0 : TimeoutMs);
    socket.connectToHost(QString::fromLatin1(Server.c_str()), Port);
    // The connection may fail before the loop even starts (a bad host name).
    if (socket.state() != QAbstractSocket::UnconnectedState || errorCode == wpeNone) loop.exec();
    timer.stop();
    QObject::disconnect(&socket, nullptr, &loop, nullptr);
    socket.abort();

    if (reader.State() == TState::NeedMore && !timedOut && errorCode == wpeNone) reader.Finish();

    if (reader.State() == TState::Complete) {
        response_ = reader.Body();
        return true;
    }
    if (reader.HeadComplete()) {
        // The server answered but the rest broke off: not worth a message of
        // its own, the caller's failure notice says enough.
        lastErrorCode_ = timedOut ? wpeTimeout : errorCode != wpeNone ? errorCode : wpeConnectionReset;
        return false;
    }
    if (timedOut)
        ReportError(wpeTimeout, "The operation timed out");
    else if (errorCode != wpeNone)
        ReportError(errorCode, ToText(errorText));
    else
        ReportError(wpeInvalidResponse, "The server returned an invalid or unrecognized response");
    return false;
}

}  // namespace tessum
