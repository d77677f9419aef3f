#include "tarnel4d/debug_setting.h"

#include <gtest/gtest.h>

namespace {

using tarnel4d::DebugSetting;
using tarnel4d::DecodeSetting;
using tarnel4d::EncodeSetting;

TEST(DebugSetting, RoundTripsAnyPath) {
  for (const std::string& path :
       {std::string("/tmp/fax.log"), std::string("/tmp/my logs/a\nb\"c.log"),
        std::string("/x/end\n"), std::string(300, 'p')}) {
    const auto decoded = DecodeSetting(EncodeSetting(DebugSetting{true, path}));
    ASSERT_TRUE(decoded.has_value()) << path;
    EXPECT_TRUE(decoded->on);
    EXPECT_EQ(decoded->logPath, path);
  }
  const auto off = DecodeSetting(EncodeSetting(DebugSetting{}));
  ASSERT_TRUE(off.has_value());
  EXPECT_FALSE(off->on);
}

TEST(DebugSetting, AnythingShortOfAWholeSettingIsRejected) {
  for (const DebugSetting& setting : {DebugSetting{true, "/tmp/fax.log"}, DebugSetting{}}) {
    const std::string whole = EncodeSetting(setting);
    for (std::size_t length = 0; length < whole.size(); ++length) {
      EXPECT_FALSE(DecodeSetting(whole.substr(0, length)).has_value()) << length;
    }
    EXPECT_FALSE(DecodeSetting(whole + "\n").has_value());
  }
  for (const char* damaged :
       {"tarnel4d setting 2\ndebug off\nend\n", "tarnel4d setting 1\ndebug on\nend\n",
        "tarnel4d setting 1\ndebug on\nlog 0 \nend\n",
        "tarnel4d setting 1\ndebug on\nlog x /a\nend\n",
        "tarnel4d setting 1\ndebug on\nlog 99 /a\nend\n"}) {
    EXPECT_FALSE(DecodeSetting(damaged).has_value()) << damaged;
  }
}

}  // namespace
