#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A bare HTTP/1.0 client over one socket to 127.0.0.1, so that tests see the
// bytes exactly as sent: short bodies, missing headers and all.
namespace mofeng::sim::test {

struct RawReply {
    bool connected = false;
    int status = 0;
    std::string headers;  // the header block without the status line
    std::string body;     // the bytes received after the header block
    std::optional<std::size_t> contentLength;

    std::string Header(std::string_view name) const;  // first value, "" when absent
    bool Complete() const { return contentLength && body.size() == *contentLength; }
};

class RawConnection final {
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool Connected() const { return m_fd >= 0; }
    // Sends "METHOD target HTTP/1.0", the given header lines (each ending in
    // CRLF) and the empty line.
    bool Send(std::string_view method, std::string_view target, std::string_view headerLines);
    // Blocks until the header block has arrived (or the connection ended).
    RawReply ReadHeaders();
    // Blocks until the server closes; appends to reply.body.
    void ReadToEnd(RawReply& reply);
    void Close();

private:
    int m_fd = -1;
};

inline constexpr std::string_view kClientHeaders =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\nAccept: */*\r\n";

// One whole request and reply.
RawReply RawGet(int port, std::string_view target, std::string_view headerLines = kClientHeaders);

}  // namespace mofeng::sim::test
