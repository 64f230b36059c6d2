// Support of the highscore sender tests: a one-thread HTTP server on the
// loopback address, and a file reader.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tessum {

// A one-thread HTTP server: it collects each request up to the end of its
// body, then answers as told. It lives in the test's thread, which TWebPost's
// waiting loop keeps serving.
class TLoopbackServer {
public:
    enum class TMode { Answer, Silent, CloseAtOnce, HalfBody };

    explicit TLoopbackServer(TMode Mode = TMode::Answer, QByteArray Answer = {}) : Mode_(Mode) {
        Answer_ = Answer.isEmpty() ? QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK") : Answer;
        EXPECT_TRUE(Server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&Server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = Server_.nextPendingConnection()) Accept(s);
        });
    }

    std::uint16_t Port() const { return Server_.serverPort(); }
    const std::vector<QByteArray>& Heads() const { return Heads_; }
    const std::vector<QByteArray>& Bodies() const { return Bodies_; }
    int Connections() const { return Connections_; }

private:
    void Accept(QTcpSocket* s) {
        ++Connections_;
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        if (Mode_ == TMode::CloseAtOnce) {
            s->close();
            return;
        }
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
            *buffer += s->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            const QByteArray head = buffer->left(end + 4);
            const qsizetype at = head.indexOf("Content-Length: ");
            const qsizetype length = at < 0 ? 0 : head.mid(at + 16, head.indexOf("\r\n", at) - at - 16).toLongLong();
            if (buffer->size() < end + 4 + length) return;
            Heads_.push_back(head);
            Bodies_.push_back(buffer->mid(end + 4, length));
            buffer->clear();
            if (Mode_ == TMode::Silent) return;
            if (Mode_ == TMode::HalfBody) {
                s->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly a part");
                s->flush();
                s->disconnectFromHost();
                return;
            }
            s->write(Answer_);
            s->disconnectFromHost();
        });
    }

    TMode Mode_;
    QByteArray Answer_;
    QTcpServer Server_;
    std::vector<QByteArray> Heads_;
    std::vector<QByteArray> Bodies_;
    int Connections_ = 0;
};

// Whole file as bytes, to prove a submission left a table file alone.
inline std::string ReadFile(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tessum
