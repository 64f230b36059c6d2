// TWebPost: sends one HTML form as an HTTP POST over a plain TCP connection
// and reads the whole answer. The request is written by hand so that its head
// is exactly the one the highscore server has always received.
//
// Execute runs a local event loop while it waits, so the user interface keeps
// painting; callers disable their controls meanwhile to prevent a second start.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

#include "highscore/WebPostForm.h"
#include "highscore/uINetConfig.h"

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
    wpeCannotConnect = 12029,
    wpeConnectionAborted = 12030,
    wpeConnectionReset = 12031,
    wpeInvalidResponse = 12152,
};

class TWebPost : public QObject, public TCustomWebPost {
    Q_OBJECT

public:
    explicit TWebPost(QObject* Owner = nullptr);

    TWebPostError OnError;
    // The whole request, connecting included, is given up after this many milliseconds.
    int TimeoutMs = inetconfig::RequestTimeoutMs;
    // The answer's body is kept up to this size; the rest is not read.
    std::int64_t MaxResponseBytes = inetconfig::MaxResponseBytes;

    // Sends Items to Server:Port and Action and reads the answer to its end.
    // True when the request went out and an answer came back, whatever its
    // status. A failure before the answer's head arrived is reported to
    // OnError, or in an error box when OnError is empty; a failure while the
    // body is read only returns false.
    bool Execute() override;

    // Code of the last failed request, wpeNone after a success.
    int LastErrorCode() const { return lastErrorCode_; }
    const std::string& LastErrorText() const { return lastErrorText_; }

private:
    void ReportError(int Code, const std::string& Text);

    int lastErrorCode_ = wpeNone;
    std::string lastErrorText_;
};

}  // namespace tessum
