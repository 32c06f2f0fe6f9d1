#pragma once
// A whole application as start-up builds it (camera, scene, timer), made current for the callbacks,
// inside the GL test window.
#include <memory>

#include "app/Application.h"

namespace kubora::test {

class AssembledApplication {
  public:
    AssembledApplication();
    ~AssembledApplication();
    AssembledApplication(const AssembledApplication&) = delete;
    AssembledApplication& operator=(const AssembledApplication&) = delete;

    Kubora::Application& operator*() { return *application; }
    Kubora::Application* operator->() { return application.get(); }

  private:
    std::unique_ptr<Kubora::Application> application;
};

} // namespace kubora::test
