#pragma once
// A fresh application on a fresh simulated desktop for each test.
#include <gtest/gtest.h>

#include <memory>

#include "platform/messages.h"
#include "platform/sim.h"
#include "toolkit/Application.h"

class SimAppTest : public testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    plat::MSG m;
    while (plat::PeekMessageA(&m, nullptr, 0, 0, plat::PM_REMOVE)) {
    }
    app = std::make_unique<tk::Application>();
    app->Initialize();
    app->SetTitle("Tavelin");
  }
  void TearDown() override { app.reset(); }

  // Runs the loop until Terminate, with a virtual-time limit so a broken test ends.
  void RunFor(std::uint64_t limitMs) {
    sim::At(limitMs, [this] { app->Terminate(); });
    app->Run();
  }

  std::unique_ptr<tk::Application> app;
};
