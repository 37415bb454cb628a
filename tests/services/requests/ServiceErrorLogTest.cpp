#include <gtest/gtest.h>

#include "services/requests/ServiceErrorLog.h"

namespace pennolux {
namespace {

TEST(ServiceErrorLog, EntriesJoinedByTwoCarriageReturnsBlankOnesIgnored)
{
    ServiceErrorLog log;
    AddServiceError(log, " \r\n\t");
    EXPECT_FALSE(log.HasServiceErrors);
    EXPECT_TRUE(log.text.isEmpty());

    AddServiceError(log, "HTTPS Response:\rtimed out ");
    AddServiceError(log, "HTTP Response:\rrefused");
    EXPECT_TRUE(log.HasServiceErrors);
    EXPECT_EQ(log.text, "HTTPS Response:\rtimed out \r\rHTTP Response:\rrefused");

    ClearServiceErrors(log);
    EXPECT_FALSE(log.HasServiceErrors);
    EXPECT_TRUE(log.text.isEmpty());
}

} // namespace
} // namespace pennolux
