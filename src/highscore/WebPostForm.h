// The form of one HTTP POST, without the network: its name/value pairs, the
// body and the request head built from them. TWebPost (WebPost.h) sends it
// over Qt; the highscore fills it through this interface, so the highscore
// code stays free of Qt and can be driven by any sender.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessum {

struct TWebPostItem {
    std::string Name;
    std::string Value;
};

class TWebPostItems {
public:
    TWebPostItem& Add(std::string Name = {}, std::string Value = {});
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    // An index outside 0..Count-1 throws std::out_of_range.
    TWebPostItem& Items(int Index);
    const TWebPostItem& Items(int Index) const;

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TWebPostItem> items_;
};

// "name=value&name=value", spaces in the values sent as "+". Names and the
// rest of the values go out as they stand: the caller has encoded them.
std::string BuildPostBody(const TWebPostItems& Items);

// The request line and header fields for a form POST of BodyLength bytes to
// Action on Server, ending with the empty line. The port appears in the Host
// field only when it is not 80.
std::string BuildPostHead(const std::string& Server, std::uint16_t Port, const std::string& Action,
                          std::size_t BodyLength);

// The one header the form's content needs; everything else is transport.
inline constexpr const char* FormContentType = "Content-Type: application/x-www-form-urlencoded";
inline constexpr const char* PostAgent = "TWebPost";

// Takes an HTTP answer as it arrives and says when it is complete. The body
// is delimited by Content-Length, by chunks, or by the end of the connection;
// interim 1xx answers are passed over. Memory stays within MaxHead plus
// MaxBody bytes whatever the server sends.
class THttpResponseReader {
public:
    enum class TState {
        NeedMore,   // nothing wrong yet, more bytes awaited
        Complete,   // the answer is whole (or its body reached MaxBody)
        BadHead,    // no valid answer head: the request counts as not answered
        BadBody,    // a head arrived but the body broke off or is malformed
    };

    static constexpr std::size_t MaxHead = 64 * 1024;

    explicit THttpResponseReader(std::size_t MaxBody) : maxBody_(MaxBody) {}

    TState Feed(const char* Data, std::size_t Size);
    // The connection ended; decides what the bytes so far amount to.
    TState Finish();

    TState State() const { return state_; }
    bool HeadComplete() const { return headDone_; }
    int Status() const { return status_; }
    const std::string& Body() const { return body_; }

private:
    TState ParseHead();
    TState ParseBody();
    TState AddBody(const char* Data, std::size_t Size);

    std::size_t maxBody_;
    TState state_ = TState::NeedMore;
    std::string pending_;  // bytes not yet taken apart
    bool headDone_ = false;
    int status_ = 0;
    bool chunked_ = false;
    bool hasLength_ = false;
    std::uint64_t length_ = 0;
    std::uint64_t chunkLeft_ = 0;
    enum class TChunkPart { Size, Data, DataEnd, Trailer } chunkPart_ = TChunkPart::Size;
    std::string body_;
};

class TCustomWebPost {
public:
    virtual ~TCustomWebPost() = default;

    std::string Server;
    std::uint16_t Port = 80;
    std::string Action;
    TWebPostItems Items;

    // Sends Items to Server and Action; true when the request went out and an
    // answer was read, whatever the answer says.
    virtual bool Execute() = 0;

    // The bytes of the last answer's body.
    const std::string& ResponseText() const { return response_; }

protected:
    std::string response_;
};

}  // namespace tessum
