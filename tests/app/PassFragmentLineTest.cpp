// The value of the debug line's environment variable: how many frames apart the line comes, or one
// line naming the variable and what is wrong with its value.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/PassFragmentLine.h"

TEST(PassFragmentLine, TheVariableTakesAWholeNumberOfFramesFromOneUp)
{
    struct Case {
        std::string value;
        std::optional<std::int64_t> every;
    };
    const Case cases[] = {{"1", 1},
                          {"60", 60},
                          {"0", std::nullopt},
                          {"-5", std::nullopt},
                          {"", std::nullopt},
                          {"12a", std::nullopt},
                          {"every", std::nullopt},
                          {" 3", std::nullopt}};
    for (const Case& test : cases) {
        testing::internal::CaptureStderr();
        const std::optional<std::int64_t> every = Kubora::passFragmentsEvery(test.value);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(every, test.every) << "\"" << test.value << "\"";
        EXPECT_EQ(said, test.every ? ""
                                   : "kubora: KUBORA_PASS_FRAGMENTS: \"" + test.value +
                                         "\" is not a whole number of frames from 1 up; fragments are not "
                                         "counted\n")
            << "\"" << test.value << "\"";
    }
}
