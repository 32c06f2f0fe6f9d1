#include "tests/support/ReferencePicture.h"

#include <GL/glew.h> // before any other GL header

#include <algorithm>
#include <cstdlib>

#include "engine/image/PngLoader.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PngWriter.h"

namespace kubora::test {

std::vector<std::uint8_t> readFrameTopDown(int width, int height)
{
    glFinish();
    glReadBuffer(GL_BACK);
    const std::vector<std::uint8_t> bottomUp = readPixelsRgb(0, 0, width, height);
    std::vector<std::uint8_t> topDown(bottomUp.size());
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * rowBytes), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
    }
    return topDown;
}

testing::AssertionResult matchesReference(const std::vector<std::uint8_t>& picture, int width, int height,
                                          const std::string& referencePath, PictureTolerance tolerance,
                                          const char* writeVariable, const std::string& failureName)
{
    if (std::getenv(writeVariable) != nullptr) {
        if (!writeRgbPng(referencePath, width, height, picture)) {
            return testing::AssertionFailure() << "cannot write " << referencePath;
        }
        return testing::AssertionSuccess() << "wrote " << referencePath;
    }
    libkub::PngImage expected;
    if (libkub::loadPng(referencePath, expected) != libkub::PngLoaded) {
        return testing::AssertionFailure() << "cannot read " << referencePath;
    }
    if (expected.width != width || expected.height != height) {
        return testing::AssertionFailure() << referencePath << " is " << expected.width << " x "
                                           << expected.height << ", the frame " << width << " x " << height;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    int differing = 0;
    int largest = 0;
    for (int y = 0; y < height; ++y) {
        // The loader gives the bottom row first.
        const std::uint8_t* want =
            expected.pixels.get() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        const std::uint8_t* got = picture.data() + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            int difference = 0;
            for (int c = 0; c < 3; ++c) {
                difference = std::max(difference, std::abs(int{want[x * 3 + c]} - int{got[x * 3 + c]}));
            }
            largest = std::max(largest, difference);
            differing += difference > tolerance.channelLevels ? 1 : 0;
        }
    }
    const int allowed = static_cast<int>(tolerance.differingShare * width * height);
    if (differing > allowed) {
        const std::string written = KUBORA_BUILD_DIR "/" + failureName;
        writeRgbPng(written, width, height, picture);
        return testing::AssertionFailure()
               << referencePath << ": " << differing << " pixels differ by more than "
               << tolerance.channelLevels << " (largest " << largest << "), " << allowed
               << " allowed; frame written to " << written;
    }
    return testing::AssertionSuccess();
}

} // namespace kubora::test
