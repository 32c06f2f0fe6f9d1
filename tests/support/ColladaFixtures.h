#pragma once
// The hand-written COLLADA files under tests/fixtures/collada, by name.
#include <memory>
#include <string>

#include "collada/ColladaDocument.h"

namespace kubora::test {

inline std::string colladaFixtureFolder()
{
    return std::string(KUBORA_SOURCE_DIR) + "/tests/fixtures/collada";
}

inline std::string colladaFixture(const std::string& name)
{
    return colladaFixtureFolder() + "/" + name;
}

// Reads a fixture; `loaded` receives the reader's result.
inline std::unique_ptr<libkub::ColladaDocument> loadColladaFixture(const std::string& name,
                                                                   bool* loaded = nullptr)
{
    auto document = std::make_unique<libkub::ColladaDocument>();
    const bool result = document->loadFromFile(colladaFixture(name));
    if (loaded != nullptr) {
        *loaded = result;
    }
    return document;
}

} // namespace kubora::test
