// TWebPost: sends one HTML form as an HTTP POST through Qt's network access
// (so the system's proxy settings apply) and reads the answer. The request
// carries exactly the Content-Type line and the body the highscore server has
// always received.
//
// Execute runs a local event loop while it waits, so the user interface keeps
// painting; callers disable their controls meanwhile to prevent a second start.
#pragma once

#include <QDeadlineTimer>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "highscore/WebPostForm.h"
#include "highscore/uINetConfig.h"

class QNetworkAccessManager;

namespace tessum {

class TWebPost;

// Receives the text and code of a failed request instead of the message box.
using TWebPostError = std::function<void(TWebPost& Sender, const std::string& ErrorStr, int ErrorCode)>;

// Codes of failed requests, numbered like the internet client errors users
// and support staff already know.
enum TWebPostErrorCode : int {
    wpeNone = 0,
    wpeTimeout = 12002,
    wpeInternal = 12004,
    wpeNameNotResolved = 12007,
    wpeCancelled = 12017,
    wpeCannotConnect = 12029,
    wpeConnectionAborted = 12030,
    wpeConnectionReset = 12031,
    wpeInvalidResponse = 12152,
    // The server answered with a 4xx or 5xx status: it did not take the entry.
    wpeRefused = 12200,
};

class TWebPost : public QObject, public TCustomWebPost {
    Q_OBJECT

public:
    explicit TWebPost(QObject* Owner = nullptr);
    ~TWebPost() override;

    TWebPostError OnError;
    // One request, connecting included, is given up after this many milliseconds.
    int TimeoutMs = inetconfig::RequestTimeoutMs;
    // A whole submission of many requests ends when this runs out; the
    // sender sets it before the first request. Forever by default.
    QDeadlineTimer Deadline{QDeadlineTimer::Forever};
    // The answer's body is kept up to this size; the rest is not read.
    std::int64_t MaxResponseBytes = inetconfig::MaxResponseBytes;

    // Sends Items to Server:Port and Action and reads the answer. True when
    // the server answered with a status below 400. A failure is reported to
    // OnError, or in an error box when OnError is empty, except a body that
    // breaks off after a good status line and a cancellation, which only
    // return false.
    bool Execute() override;

    // Ends the running request at once and refuses further ones until
    // ResetCancel; Execute then returns false with wpeCancelled.
    void Cancel();
    void ResetCancel() { cancelled_ = false; }
    bool Cancelled() const { return cancelled_; }
    bool Busy() const { return reply_ != nullptr; }

    // Code of the last failed request, wpeNone after a success.
    int LastErrorCode() const { return lastErrorCode_; }
    const std::string& LastErrorText() const { return lastErrorText_; }
    // HTTP status of the last answer, 0 when none arrived.
    int LastStatus() const { return lastStatus_; }

signals:
    void Cancelling();

private:
    void ReportError(int Code, const std::string& Text);

    QNetworkAccessManager* nam_ = nullptr;
    QPointer<QNetworkReply> reply_;
    bool cancelled_ = false;
    int lastErrorCode_ = wpeNone;
    std::string lastErrorText_;
    int lastStatus_ = 0;
};

}  // namespace tessum
