#pragma once

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>

namespace mofeng::sim {

// Ways of sending a body. All of them go through a content provider with a
// Content-Length, which also keeps the library from compressing the reply.

// The whole body.
void SendWhole(httplib::Response& response, std::string body, const std::string& contentType);

// Announces the whole body, sends its first cut bytes, then closes the connection.
void SendPart(httplib::Response& response, std::string body, std::size_t cut,
              const std::string& contentType);

// Announces bodySize bytes and sends none: the headers go out, then nothing
// until the client closes the connection or stopping is raised.
void SendNothing(httplib::Response& response, std::size_t bodySize, const std::string& contentType,
                 const std::atomic<bool>& stopping);

}  // namespace mofeng::sim
