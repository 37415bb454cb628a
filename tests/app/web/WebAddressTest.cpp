#include <gtest/gtest.h>

#include "app/web/WebAddress.h"

using namespace pennolux;

TEST(WebAddressTest, BuildsHttpAndHttpsAddressesOnTheServiceHost)
{
    const struct {
        const char* scheme;
        const char* base;
        const char* path;
        const char* address;
    } cases[] = {
        {"http", "www.zantoph.example", "/", "http://www.zantoph.example/"},
        {"https", "www.zantoph.example", "/blog/credits-and-acknowledgements/",
         "https://www.zantoph.example/blog/credits-and-acknowledgements/"},
        {"http", "127.0.0.1:8080", "/blog/how-to-uninstall-zantoph-software/",
         "http://127.0.0.1:8080/blog/how-to-uninstall-zantoph-software/"},
        {"http", "[::1]:8080", "/", "http://[::1]:8080/"},
    };
    for (const auto& [scheme, base, path, address] : cases)
        EXPECT_EQ(serviceWebAddress(scheme, base, path), std::optional<QString>(address)) << base;
}

// The base is configuration: whatever it holds, only a page on its host is opened.
TEST(WebAddressTest, RefusesAnythingButAWebPageOnTheServiceHost)
{
    const struct {
        const char* scheme;
        const char* base;
    } refused[] = {
        {"file", "www.zantoph.example"},
        {"javascript", "www.zantoph.example"},
        {"HTTP", "www.zantoph.example"},
        {"http", ""},
        {"http", "user@www.zantoph.example"},
        {"http", "evil.example/download?x="},
        {"http", "www.zantoph.example#"},
        {"http", "www.zantoph.example?a=b"},
        {"http", "file:///etc/passwd"},
        {"http", "www zantoph example"},
        {"http", "www.zantoph.example:99999"},
        {"http", "www.zantoph.example\\@evil.example"},
        {"http", "/etc/passwd"},
    };
    for (const auto& [scheme, base] : refused)
        EXPECT_EQ(serviceWebAddress(scheme, base, "/"), std::nullopt) << scheme << " " << base;
}

TEST(WebAddressTest, HostNameIsTheBaseWithoutItsPort)
{
    EXPECT_EQ(serviceHostName("www.zantoph.example"), "www.zantoph.example");
    EXPECT_EQ(serviceHostName("www.zantoph.example:8080"), "www.zantoph.example");
    EXPECT_EQ(serviceHostName("127.0.0.1:9"), "127.0.0.1");
    EXPECT_EQ(serviceHostName("user@host.example"), "");
    EXPECT_EQ(serviceHostName("host.example/path"), "");
}
