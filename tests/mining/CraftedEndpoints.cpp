#include "CraftedEndpoints.h"

#include "runtime/CodePage.h"

namespace mofeng::mining::test {

CraftedEndpoints::CraftedEndpoints() {
    m_server.Get("/search", [this](const httplib::Request& request, httplib::Response& response) {
        Answer("search", request, response);
    });
    m_server.Get("/sug", [this](const httplib::Request& request, httplib::Response& response) {
        Answer("sug", request, response);
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
}

CraftedEndpoints::~CraftedEndpoints() {
    Release();
    while (!m_server.is_running()) {
        std::this_thread::yield();
    }
    m_server.stop();
    m_thread.join();
}

net::EndpointConfig CraftedEndpoints::Config() const {
    net::EndpointConfig config;
    config.searchBase = "http://127.0.0.1:" + std::to_string(m_port);
    config.indexBase = config.searchBase;
    config.suggestBase = config.searchBase;
    return config;
}

void CraftedEndpoints::SetRelated(const std::string& keyword,
                                  const std::vector<std::string>& links) {
    std::string page = "<html><head><meta charset=\"gbk\"></head><body>\n";
    for (const std::string& link : links) {
        page += "<a trace=\"relatedSearch\" href=\"/search?q=x\">" + link + "</a>\n";
    }
    page += "</body></html>\n";
    SetSearchReply(keyword, runtime::Utf8ToGbk(page), "text/html; charset=gbk");
}

void CraftedEndpoints::SetSuggestions(const std::string& keyword,
                                      const std::vector<std::string>& shown) {
    std::string reply = "jsonp12556({\"result\":[";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        reply += (i ? ",[\"" : "[\"") + shown[i] + "\",\"" + std::to_string(100 + i) + "\"]";
    }
    reply += "]})";
    SetSuggestReply(keyword, std::move(reply));
}

void CraftedEndpoints::SetSearchReply(const std::string& keyword, std::string body,
                                      std::string contentType) {
    std::lock_guard lock(m_mutex);
    m_search[keyword] = Reply{std::move(body), std::move(contentType)};
}

void CraftedEndpoints::SetSuggestReply(const std::string& keyword, std::string body) {
    std::lock_guard lock(m_mutex);
    m_sug[keyword] = Reply{std::move(body), "text/javascript; charset=utf-8"};
}

void CraftedEndpoints::Hold(const std::string& keyword) {
    std::lock_guard lock(m_mutex);
    m_held = keyword;
    m_holding = true;
    m_heldArrived = false;
}

void CraftedEndpoints::WaitForHeld() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_heldArrived; });
}

void CraftedEndpoints::Release() {
    {
        std::lock_guard lock(m_mutex);
        m_holding = false;
    }
    m_changed.notify_all();
}

std::vector<CraftedEndpoints::Request> CraftedEndpoints::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::vector<std::string> CraftedEndpoints::Keywords(std::string_view endpoint) const {
    std::vector<std::string> keywords;
    for (const Request& request : Requests()) {
        if (request.endpoint == endpoint) {
            keywords.push_back(request.keyword);
        }
    }
    return keywords;
}

void CraftedEndpoints::Answer(const std::string& endpoint, const httplib::Request& request,
                              httplib::Response& response) {
    const std::string keyword = request.get_param_value("q");
    std::unique_lock lock(m_mutex);
    m_requests.push_back({endpoint, keyword, request.target});
    if (m_holding && keyword == m_held) {
        m_heldArrived = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_holding; });
    }
    const auto& replies = endpoint == "search" ? m_search : m_sug;
    const auto found = replies.find(keyword);
    if (found == replies.end()) {
        response.set_content(endpoint == "search" ? "<html></html>" : "jsonp12556({\"result\":[]})",
                             "text/html; charset=gbk");
        return;
    }
    response.set_content(found->second.body, found->second.contentType.c_str());
}

}  // namespace mofeng::mining::test
