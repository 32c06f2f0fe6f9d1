#include "tests/support/ReferencePicture.h"

#include <cstdlib>

#include "engine/image/PngLoader.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PngWriter.h"

namespace kubora::test {

testing::AssertionResult matchesReference(const Frame& frame, const EdgeMap& edges,
                                          const std::string& referencePath, const char* writeVariable,
                                          const std::string& failureName)
{
    if (std::getenv(writeVariable) != nullptr) {
        if (!writeRgbPng(referencePath, frame.width, frame.height, frame.rgb)) {
            return testing::AssertionFailure() << "cannot write " << referencePath;
        }
        return testing::AssertionSuccess() << "wrote " << referencePath;
    }
    libkub::PngImage stored;
    if (libkub::loadPng(referencePath, stored) != libkub::PngLoaded) {
        return testing::AssertionFailure() << "cannot read " << referencePath;
    }
    ExactFrame reference;
    reference.frame.width = stored.width;
    reference.frame.height = stored.height;
    // The loader gives the bottom row first.
    const std::vector<std::uint8_t> bottomUp(stored.pixels.get(),
                                             stored.pixels.get() +
                                                 static_cast<std::size_t>(stored.width) * stored.height * 3);
    reference.frame.rgb = libkub::flipRows(bottomUp, stored.width, stored.height, 3);
    reference.edges = edges;
    const testing::AssertionResult result =
        withinBound(reference, frame, PictureBound::shortcuts, failureName);
    if (!result) {
        return testing::AssertionFailure() << referencePath << ": " << result.message();
    }
    return result;
}

} // namespace kubora::test
