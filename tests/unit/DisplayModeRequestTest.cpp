// The request the program sends for a stored choice, checked as the platform receives it, and
// the text each answer is reported under.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "app/DisplayModeRequest.h"
#include "platform/sim.h"
#include "platform/sim_display.h"

using namespace plat;

namespace {

class DisplayModeRequestTest : public testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }

  // Sends the request for a stored choice and returns it as the platform recorded it.
  static DEVMODEA Sent(int modeCode, const std::string& depthText) {
    DEVMODEA request = DisplayModeRequest(modeCode, depthText);
    ChangeDisplaySettingsA(&request, 0);
    auto changes = sim::DisplayChanges();
    EXPECT_FALSE(changes.empty());
    EXPECT_TRUE(changes.back().mode.has_value());
    EXPECT_EQ(changes.back().flags, 0u);
    return changes.back().mode.value_or(DEVMODEA{});
  }
};

TEST_F(DisplayModeRequestTest, LargestModeAt16BitsCarriesOnlySizeDepthAndFields) {
  DEVMODEA sent = Sent(4, "16");
  EXPECT_EQ(sent.dmSize, 156);
  EXPECT_EQ(sent.dmFields, 0x1C0000u);
  EXPECT_EQ(sent.dmPelsWidth, 1280u);
  EXPECT_EQ(sent.dmPelsHeight, 1024u);
  EXPECT_EQ(sent.dmBitsPerPel, 16u);

  // Every other byte of the record is zero: no device name, position, frequency or driver data.
  sent.dmSize = 0;
  sent.dmFields = 0;
  sent.dmPelsWidth = sent.dmPelsHeight = sent.dmBitsPerPel = 0;
  const std::vector<unsigned char> zeros(sizeof sent, 0);
  EXPECT_EQ(std::memcmp(&sent, zeros.data(), sizeof sent), 0);

  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
}

TEST_F(DisplayModeRequestTest, ModeCodesOutsideTheTableAsk800By600) {
  struct Case {
    int code;
    DWORD width;
    DWORD height;
  };
  for (Case c : {Case{1, 640, 480}, Case{2, 800, 600}, Case{3, 1024, 768}, Case{4, 1280, 1024}, Case{0, 800, 600},
                 Case{5, 800, 600}, Case{-1, 800, 600}, Case{INT_MIN, 800, 600}, Case{INT_MAX, 800, 600}}) {
    DEVMODEA sent = Sent(c.code, "32");
    EXPECT_EQ(sent.dmPelsWidth, c.width) << "code " << c.code;
    EXPECT_EQ(sent.dmPelsHeight, c.height) << "code " << c.code;
    EXPECT_EQ(sent.dmFields, 0x1C0000u) << "code " << c.code;
  }
}

TEST_F(DisplayModeRequestTest, OnlyTheExactText16Asks16Bits) {
  EXPECT_EQ(Sent(3, "16").dmBitsPerPel, 16u);
  for (const std::string& text : {std::string("32"), std::string("24"), std::string("x"), std::string(""),
                                  std::string("16 "), std::string(" 16"), std::string("016"), std::string("16.0"),
                                  std::string("16\0", 3)}) {
    EXPECT_EQ(Sent(3, text).dmBitsPerPel, 32u) << "depth text \"" << text << "\"";
  }
}

TEST_F(DisplayModeRequestTest, EachAnswerHasItsTextAndOnlySuccessResizesTheScreen) {
  struct Case {
    LONG result;
    const char* text;
  };
  const std::vector<Case> cases = {{-4, "dcbf"}, {-3, "dcn"}, {-2, "dcbm"}, {-1, "dcf"},     {1, "dcr"},
                                   {-5, "error"}, {2, "error"}, {INT_MIN, "error"}, {0, "dcs"}};
  std::vector<LONG> scripted;
  for (const Case& c : cases) scripted.push_back(c.result);
  sim::SetDisplayChangeResults(scripted);

  for (const Case& c : cases) {
    DEVMODEA request = DisplayModeRequest(1, "32");
    EXPECT_EQ(DisplayChangeResultText(ChangeDisplaySettingsA(&request, 0)), c.text) << "result " << c.result;
    const bool applied = c.result == DISP_CHANGE_SUCCESSFUL;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), applied ? 640 : 1024) << "result " << c.result;
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), applied ? 480 : 768) << "result " << c.result;
  }
  EXPECT_EQ(sim::DisplayChanges().size(), cases.size());

  // With the script used up the platform succeeds; a call without a record is recorded as such.
  EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_FALSE(sim::DisplayChanges().back().mode.has_value());

  sim::SetDisplayChangeResults({DISP_CHANGE_BADMODE});
  sim::Reset();
  EXPECT_TRUE(sim::DisplayChanges().empty());
  DEVMODEA request = DisplayModeRequest(2, "32");
  EXPECT_EQ(ChangeDisplaySettingsA(&request, 0), DISP_CHANGE_SUCCESSFUL);
}

}  // namespace
