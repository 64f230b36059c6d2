#include "highscore/WebPostForm.h"

#include <stdexcept>

namespace tessum {

namespace {

// A line break inside a field would end the header early and let the rest
// pose as further fields.
std::string HeadField(const std::string& Text) {
    std::string out;
    for (const char c : Text)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

TWebPostItem& TWebPostItems::Add(std::string Name, std::string Value) {
    items_.push_back({std::move(Name), std::move(Value)});
    return items_.back();
}

TWebPostItem& TWebPostItems::Items(int Index) {
    if (Index < 0 || Index >= Count()) throw std::out_of_range("Web post item index out of range");
    return items_[static_cast<std::size_t>(Index)];
}

const TWebPostItem& TWebPostItems::Items(int Index) const {
    return const_cast<TWebPostItems*>(this)->Items(Index);
}

std::string BuildPostBody(const TWebPostItems& Items) {
    std::string body;
    for (const TWebPostItem& item : Items) {
        if (!body.empty()) body += '&';
        body += item.Name;
        body += '=';
        for (const char c : item.Value) body += c == ' ' ? '+' : c;
    }
    return body;
}

std::string BuildPostHead(const std::string& Server, std::uint16_t Port, const std::string& Action,
                          std::size_t BodyLength) {
    std::string head = "POST ";
    head += Action.empty() ? std::string("/") : HeadField(Action);
    head += " HTTP/1.1\r\n";
    head += FormContentType;
    head += "\r\nUser-Agent: ";
    head += PostAgent;
    head += "\r\nHost: ";
    head += HeadField(Server);
    if (Port != 80) head += ":" + std::to_string(Port);
    head += "\r\nContent-Length: " + std::to_string(BodyLength);
    // One request per connection: the end of the answer is then plain to see
    // and no idle connection lingers between the entries.
    head += "\r\nConnection: close\r\nCache-Control: no-cache\r\n\r\n";
    return head;
}

}  // namespace tessum

// ---- THttpResponseReader ------------------------------------------------------

namespace tessum {

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return s.substr(a, b - a);
}

// Digits only, and no more than fit; false for anything else.
bool ParseDecimal(const std::string& s, std::uint64_t& Value) {
    if (s.empty() || s.size() > 18) return false;
    Value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        Value = Value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

bool ParseHex(const std::string& s, std::uint64_t& Value) {
    if (s.empty() || s.size() > 15) return false;
    Value = 0;
    for (const char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        Value = Value * 16 + static_cast<std::uint64_t>(d);
    }
    return true;
}

// Position after the line that starts at From, or npos; LF alone ends a line too.
std::size_t LineEnd(const std::string& s, std::size_t From) {
    const std::size_t p = s.find('\n', From);
    return p == std::string::npos ? p : p + 1;
}

std::string LineAt(const std::string& s, std::size_t From, std::size_t End) {
    std::string line = s.substr(From, End - From);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

}  // namespace

THttpResponseReader::TState THttpResponseReader::Feed(const char* Data, std::size_t Size) {
    if (state_ != TState::NeedMore) return state_;
    if (!headDone_) {
        pending_.append(Data, Size);
        state_ = ParseHead();
        if (state_ != TState::NeedMore || !headDone_) return state_;
        state_ = ParseBody();
        return state_;
    }
    if (!chunked_) return state_ = AddBody(Data, Size);
    pending_.append(Data, Size);
    return state_ = ParseBody();
}

THttpResponseReader::TState THttpResponseReader::Finish() {
    if (state_ != TState::NeedMore) return state_;
    if (!headDone_) return state_ = TState::BadHead;
    // Without a length the end of the connection is the end of the body.
    if (!chunked_ && !hasLength_) return state_ = TState::Complete;
    // The last chunk came; only the closing line of the trailers is missing.
    if (chunked_ && chunkPart_ == TChunkPart::Trailer) return state_ = TState::Complete;
    return state_ = TState::BadBody;
}

THttpResponseReader::TState THttpResponseReader::ParseHead() {
    for (;;) {
        // Find the empty line that closes the head.
        std::size_t pos = 0;
        std::size_t headEnd = std::string::npos;
        while (pos < pending_.size()) {
            const std::size_t end = LineEnd(pending_, pos);
            if (end == std::string::npos) break;
            if (LineAt(pending_, pos, end).empty()) {
                headEnd = end;
                break;
            }
            pos = end;
        }
        if (headEnd == std::string::npos) {
            // A status line can be judged before the rest arrives, so a
            // server speaking something else is told apart at once.
            if (pending_.size() >= 5 && pending_.compare(0, 5, "HTTP/") != 0) return TState::BadHead;
            return pending_.size() > MaxHead ? TState::BadHead : TState::NeedMore;
        }
        if (headEnd > MaxHead) return TState::BadHead;

        std::size_t end = LineEnd(pending_, 0);
        const std::string statusLine = LineAt(pending_, 0, end);
        if (statusLine.compare(0, 5, "HTTP/") != 0) return TState::BadHead;
        const std::size_t sp = statusLine.find(' ');
        if (sp == std::string::npos || sp + 4 > statusLine.size()) return TState::BadHead;
        std::uint64_t status = 0;
        if (!ParseDecimal(statusLine.substr(sp + 1, 3), status)) return TState::BadHead;

        chunked_ = false;
        hasLength_ = false;
        length_ = 0;
        while (end < headEnd) {
            const std::size_t next = LineEnd(pending_, end);
            const std::string line = LineAt(pending_, end, next);
            end = next;
            if (line.empty()) break;
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            const std::string name = LowerAscii(Trim(line.substr(0, colon)));
            const std::string value = LowerAscii(Trim(line.substr(colon + 1)));
            if (name == "transfer-encoding" && value.find("chunked") != std::string::npos) chunked_ = true;
            if (name == "content-length") {
                if (!ParseDecimal(value, length_)) return TState::BadHead;
                hasLength_ = true;
            }
        }
        pending_.erase(0, headEnd);
        if (status >= 100 && status < 200) continue;  // an interim answer; the real one follows
        status_ = static_cast<int>(status);
        headDone_ = true;
        if (status == 204 || status == 304) {
            hasLength_ = true;
            length_ = 0;
            chunked_ = false;
        }
        return TState::NeedMore;
    }
}

THttpResponseReader::TState THttpResponseReader::AddBody(const char* Data, std::size_t Size) {
    std::size_t take = Size;
    if (hasLength_ && !chunked_) {
        const std::uint64_t left = length_ - body_.size();
        if (take > left) take = static_cast<std::size_t>(left);
    }
    const std::size_t room = maxBody_ - body_.size();
    if (take >= room) {
        body_.append(Data, room);
        return TState::Complete;
    }
    body_.append(Data, take);
    if (hasLength_ && !chunked_ && body_.size() == length_) return TState::Complete;
    return TState::NeedMore;
}

THttpResponseReader::TState THttpResponseReader::ParseBody() {
    if (!chunked_) {
        std::string data;
        data.swap(pending_);
        if (hasLength_ && length_ == 0) return TState::Complete;
        return AddBody(data.data(), data.size());
    }
    std::size_t pos = 0;
    TState result = TState::NeedMore;
    while (result == TState::NeedMore) {
        if (chunkPart_ == TChunkPart::Data) {
            const std::size_t avail = pending_.size() - pos;
            if (avail == 0) break;
            const std::size_t n = chunkLeft_ < avail ? static_cast<std::size_t>(chunkLeft_) : avail;
            result = AddBody(pending_.data() + pos, n);
            pos += n;
            chunkLeft_ -= n;
            if (chunkLeft_ == 0) chunkPart_ = TChunkPart::DataEnd;
            continue;
        }
        const std::size_t end = LineEnd(pending_, pos);
        if (end == std::string::npos) {
            // A chunk size line or trailer has no business being long.
            if (pending_.size() - pos > 4096) result = TState::BadBody;
            break;
        }
        const std::string line = LineAt(pending_, pos, end);
        pos = end;
        if (chunkPart_ == TChunkPart::DataEnd) {
            if (!line.empty()) result = TState::BadBody;
            chunkPart_ = TChunkPart::Size;
        } else if (chunkPart_ == TChunkPart::Size) {
            const std::size_t semi = line.find(';');
            std::uint64_t size = 0;
            if (!ParseHex(Trim(semi == std::string::npos ? line : line.substr(0, semi)), size)) {
                result = TState::BadBody;
            } else if (size == 0) {
                chunkPart_ = TChunkPart::Trailer;
            } else {
                chunkLeft_ = size;
                chunkPart_ = TChunkPart::Data;
            }
        } else if (line.empty()) {  // the empty line after the trailers ends it all
            result = TState::Complete;
        }
    }
    pending_.erase(0, pos);
    return result;
}

}  // namespace tessum
