#pragma once

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "net/EndpointConfig.h"
#include "runtime/CodePage.h"

namespace mofeng::mining::test {

// Search page and suggestion server on 127.0.0.1 answering from replies set
// per keyword (UTF-8, as the request carries it); others get no candidates.
// Records every request as "search KEYWORD" / "sug KEYWORD" and its target.
class CraftedEndpoints final {
public:
    CraftedEndpoints() {
        for (const char* endpoint : {"search", "sug"}) {
            m_server.Get(std::string("/") + endpoint,
                         [this, endpoint](const httplib::Request& q, httplib::Response& r) {
                             std::unique_lock lock(m_mutex);
                             const std::string key = endpoint + (" " + q.get_param_value("q"));
                             m_asked.push_back(key);
                             m_targets.push_back(q.target);
                             if (m_stalled.count(key) != 0) {
                                 ++m_stalling;
                                 m_changed.notify_all();
                                 m_changed.wait(lock, [this] { return m_released; });
                             }
                             const auto& [body, type] = m_replies[key];
                             r.set_content(body, type.empty() ? "text/html" : type.c_str());
                         });
        }
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~CraftedEndpoints() {
        ReleaseStalls();
        while (!m_server.is_running()) {
            std::this_thread::yield();
        }
        m_server.stop();
        m_thread.join();
    }

    net::EndpointConfig Config() const {
        net::EndpointConfig config;
        config.searchBase = config.suggestBase = "http://127.0.0.1:" + std::to_string(m_port);
        return config;
    }

    // Link texts (UTF-8) written into a GBK search page.
    void SetRelated(const std::string& keyword, const std::vector<std::string>& links) {
        std::string page = "<html><body>\n";
        for (const std::string& link : links) {
            page += "<a trace=\"relatedSearch\" href=\"/search?q=x\">" + link + "</a>\n";
        }
        SetReply("search " + keyword, runtime::Utf8ToGbk(page + "</body></html>"), "text/html");
    }
    // Suggestion strings (UTF-8) as they stand between the reply's quotes.
    void SetSuggestions(const std::string& keyword, const std::vector<std::string>& shown) {
        std::string reply = "jsonp12556({\"result\":[";
        for (std::size_t i = 0; i < shown.size(); ++i) {
            reply += (i ? ",[\"" : "[\"") + shown[i] + "\",\"" + std::to_string(i + 1) + "\"]";
        }
        SetReply("sug " + keyword, reply + "]})", "text/javascript; charset=utf-8");
    }
    // key: "search KEYWORD" or "sug KEYWORD".
    void SetReply(const std::string& key, std::string body, std::string type) {
        std::lock_guard lock(m_mutex);
        m_replies[key] = {std::move(body), std::move(type)};
    }

    // Requests for key ("search KEYWORD" / "sug KEYWORD") get no answer until
    // ReleaseStalls.
    void StallReplies(const std::string& key) {
        std::lock_guard lock(m_mutex);
        m_stalled.insert(key);
    }
    // Waits until count requests are held.
    void AwaitStalled(int count) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_stalling >= count; });
    }
    void ReleaseStalls() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

    std::vector<std::string> Asked() const {
        std::lock_guard lock(m_mutex);
        return m_asked;
    }
    std::vector<std::string> Targets() const {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_stalled;
    int m_stalling = 0;
    bool m_released = false;
    std::map<std::string, std::pair<std::string, std::string>> m_replies;
    std::vector<std::string> m_asked;
    std::vector<std::string> m_targets;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

}  // namespace mofeng::mining::test
