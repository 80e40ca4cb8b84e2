#include <gtest/gtest.h>

#include <string>

#include <httplib.h>

#include <thread>

#include "net/PageText.h"

namespace mofeng::net {
namespace {

// "连衣裙" in both encodings.
const std::string kUtf8Word = "\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99";
const std::string kGbkWord = "\xC1\xAC\xD2\xC2\xC8\xB9";

TEST(PageText, ConvertsOnlyWhatDeclaresUtf8) {
    const std::string filler(5000, ' ');
    const struct {
        const char* name;
        FetchedPage page;
        std::string charset;
        std::string text;
    } cases[] = {
        {"header utf-8", {kUtf8Word, "text/html; charset=UTF-8"}, "utf-8", kGbkWord},
        {"header utf8 quoted", {kUtf8Word, "text/html;charset=\"utf8\""}, "utf8", kGbkWord},
        {"header gbk wins over meta",
         {"<meta charset=\"utf-8\">" + kGbkWord, "text/html; charset=gbk"},
         "gbk",
         "<meta charset=\"utf-8\">" + kGbkWord},
        {"meta charset",
         {"<html><META Charset='utf-8'>" + kUtf8Word, "text/html"},
         "utf-8",
         "<html><META Charset='utf-8'>" + kGbkWord},
        {"meta http-equiv",
         {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">" + kUtf8Word,
          ""},
         "utf-8",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">" + kGbkWord},
        {"charset outside a meta tag is ignored",
         {"<p>charset=utf-8</p>" + kGbkWord, ""},
         "",
         "<p>charset=utf-8</p>" + kGbkWord},
        {"meta beyond the first 4 KB is ignored",
         {filler + "<meta charset=utf-8>" + kGbkWord, ""},
         "",
         filler + "<meta charset=utf-8>" + kGbkWord},
        {"undeclared stays byte for byte", {kGbkWord + "\xFF\x80", ""}, "", kGbkWord + "\xFF\x80"},
        {"text ends at the first NUL",
         {kGbkWord + std::string(1, '\0') + "tail", ""},
         "",
         kGbkWord},
        {"utf-8 ends at the first NUL too",
         {kUtf8Word + std::string(1, '\0') + kUtf8Word, "text/html; charset=utf-8"},
         "utf-8",
         kGbkWord},
        {"a meta tag after the NUL still declares",
         {kUtf8Word + std::string(1, '\0') + "<meta charset=utf-8>", ""},
         "utf-8",
         kGbkWord},
        {"empty reply", {"", ""}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeclaredCharset(c.page), c.charset);
        EXPECT_EQ(PageTextAsGbk(c.page), c.text);
        EXPECT_EQ(PageTextAsGbk(FetchedPage(c.page)), c.text);  // taking the page
    }
}

TEST(PageText, FetchKeepsTheContentTypeHeader) {
    httplib::Server server;
    server.Get("/utf8", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_content(kUtf8Word, "text/html; charset=utf-8");
    });
    server.Get("/gbk", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_content(kGbkWord, "text/html; charset=GBK");
    });
    const std::string base =
        "http://127.0.0.1:" + std::to_string(server.bind_to_any_port("127.0.0.1"));
    std::thread serving([&] { server.listen_after_bind(); });

    const FetchedPage utf8 = HttpFetchPage(base + "/utf8");
    EXPECT_EQ(utf8.contentType, "text/html; charset=utf-8");
    EXPECT_EQ(PageTextAsGbk(utf8), kGbkWord);

    const FetchedPage gbk = HttpFetchPage(base + "/gbk");
    EXPECT_EQ(gbk.contentType, "text/html; charset=GBK");
    EXPECT_EQ(PageTextAsGbk(gbk), kGbkWord);

    const FetchedPage missing = HttpFetchPage("http://127.0.0.1:1/none");
    EXPECT_EQ(missing.body, "");
    EXPECT_EQ(missing.contentType, "");

    // stop() does nothing until the accept loop runs.
    while (!server.is_running()) {
        std::this_thread::yield();
    }
    server.stop();
    serving.join();
}

}  // namespace
}  // namespace mofeng::net
