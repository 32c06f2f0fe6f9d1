#pragma once
// A test suite whose cases share one private X server, started before the first case and stopped
// after the last.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/PrivateXServer.h"

namespace kubora::test {

class XServerSuite : public testing::Test {
  protected:
    static void SetUpTestSuite() { server = std::make_unique<PrivateXServer>(); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override { ASSERT_FALSE(server->display().empty()) << "Xvfb did not start"; }

    static inline std::unique_ptr<PrivateXServer> server;
};

} // namespace kubora::test
