#pragma once

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/EndpointConfig.h"

namespace mofeng::mining::test {

// A search page and suggestion server on 127.0.0.1 answering from replies the
// test sets per keyword (keywords are UTF-8, as the request carries them).
// Keywords with no reply set get an empty page / an empty suggestion list.
// Records every request. A held keyword's reply waits until Release().
class CraftedEndpoints final {
public:
    struct Request {
        std::string endpoint;  // "search" or "sug"
        std::string keyword;   // decoded q, UTF-8
        std::string target;    // as sent
    };

    CraftedEndpoints();
    ~CraftedEndpoints();
    CraftedEndpoints(const CraftedEndpoints&) = delete;
    CraftedEndpoints& operator=(const CraftedEndpoints&) = delete;

    net::EndpointConfig Config() const;

    // Link texts (UTF-8) of the related searches, written into a GBK page.
    void SetRelated(const std::string& keyword, const std::vector<std::string>& links);
    // Suggestion strings (UTF-8, as they appear between the quotes).
    void SetSuggestions(const std::string& keyword, const std::vector<std::string>& shown);
    // Raw replies.
    void SetSearchReply(const std::string& keyword, std::string body, std::string contentType);
    void SetSuggestReply(const std::string& keyword, std::string body);

    // Requests for keyword wait until Release(); WaitForHeld() returns once
    // one of them has arrived.
    void Hold(const std::string& keyword);
    void WaitForHeld();
    void Release();

    std::vector<Request> Requests() const;
    // Keywords asked of one endpoint, in order.
    std::vector<std::string> Keywords(std::string_view endpoint) const;

private:
    struct Reply {
        std::string body;
        std::string contentType;
    };

    void Answer(const std::string& endpoint, const httplib::Request& request,
                httplib::Response& response);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<std::string, Reply> m_search;
    std::map<std::string, Reply> m_sug;
    std::vector<Request> m_requests;
    std::string m_held;
    bool m_holding = false;
    bool m_heldArrived = false;

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

}  // namespace mofeng::mining::test
