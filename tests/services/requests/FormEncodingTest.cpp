#include <gtest/gtest.h>

#include "services/requests/FormEncoding.h"
#include "services/requests/ServiceRequest.h"

namespace pennolux {
namespace {

TEST(FormEncoding, KeepsOnlyLettersDigitsAndFourMarks)
{
    struct Case {
        const char* text;
        const char* encoded;
    };
    const Case cases[] = {
        {"abc XYZ 09*-._", "abc+XYZ+09*-._"},
        {"+%&=", "%2B%25%26%3D"},
        {"~/:?#'\"<>", "%7E%2F%3A%3F%23%27%22%3C%3E"},
        {"\r\n\t", "%0D%0A%09"},
        {"Gr\xC3\xBC\xC3\x9F\x65", "Gr%C3%BC%C3%9Fe"},
        {"\xE2\x82\xAC", "%E2%82%AC"},
        {"", ""},
    };
    for (const Case& test : cases)
        EXPECT_EQ(formEncode(QString::fromUtf8(test.text)), QByteArray(test.encoded)) << test.text;
}

TEST(ServiceRequest, FieldsInOrderNameBeforeTheFirstEquals)
{
    ServiceRequest request("check");
    request.add("appname=", "Zantoph - Pennolux");
    request.add("feedback=", "a=b & c");
    request.add("guid=", "");
    EXPECT_EQ(request.lines(), QStringList({"cmd=check", "appname=Zantoph - Pennolux", "feedback=a=b & c", "guid="}));
    EXPECT_EQ(request.formBody(), "cmd=check&appname=Zantoph+-+Pennolux&feedback=a%3Db+%26+c&guid=");
}

} // namespace
} // namespace pennolux
