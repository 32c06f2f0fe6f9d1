// libFuzzer target: loadPng over arbitrary bytes, read through an in-memory stream.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/image/PngLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0; // fmemopen refuses an empty buffer
    }
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    libkub::PngImage image;
    std::string reason;
    const libkub::PngStatus status = libkub::loadPng(file, image, &reason);
    std::fclose(file);
    if (status == libkub::PngLoaded) {
        // Touch the whole block: every byte of 3 x width x height must have been allocated.
        const std::size_t bytes = static_cast<std::size_t>(image.width) * image.height * 3;
        volatile std::uint8_t sum = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            sum = static_cast<std::uint8_t>(sum + image.pixels[i]);
        }
    }
    return 0;
}
