#include "sim/ReplyWriter.h"

#include <chrono>
#include <thread>

namespace mofeng::sim {

void SendWhole(httplib::Response& response, std::string body, const std::string& contentType) {
    auto shared = std::make_shared<const std::string>(std::move(body));
    response.set_content_provider(
        shared->size(), contentType,
        [shared](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return sink.write(shared->data() + offset, length);
        });
}

void SendPart(httplib::Response& response, std::string body, std::size_t cut,
              const std::string& contentType) {
    auto shared = std::make_shared<const std::string>(std::move(body));
    response.set_content_provider(
        shared->size(), contentType,
        [shared, cut](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset == 0 && cut > 0) {
                sink.write(shared->data(), cut);
            }
            return false;  // the library closes the connection
        });
}

void SendNothing(httplib::Response& response, std::size_t bodySize, const std::string& contentType,
                 const std::atomic<bool>& stopping) {
    response.set_content_provider(
        bodySize, contentType, [&stopping](std::size_t, std::size_t, httplib::DataSink& sink) {
            while (!stopping.load() && (!sink.is_writable || sink.is_writable())) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            return false;
        });
}

}  // namespace mofeng::sim
