#include "services/power/power_supply.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace qz {
namespace {

namespace fs = std::filesystem;

// A made-up power-supply class folder: supply name -> attribute file -> contents.
using Tree = std::map<std::string, std::map<std::string, std::string>>;

class PowerSupplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("qz_power_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  PowerStatus read(const Tree& tree) {
    for (const auto& [supply, files] : tree) {
      fs::create_directories(root_ / supply);
      for (const auto& [name, text] : files) std::ofstream(root_ / supply / name) << text;
    }
    return read_power_status(root_.string() + "/");
  }
  fs::path root_;
};

struct Case {
  const char* what;
  Tree tree;
  int ac_line, percent;
};

TEST_F(PowerSupplyTest, StatusFromSupplies) {
  const Case cases[] = {
      {"nothing listed", {}, 255, 255},
      {"mains online, no battery", {{"AC", {{"type", "Mains\n"}, {"online", "1\n"}}}}, 1, 255},
      {"on battery by capacity",
       {{"AC", {{"type", "Mains\n"}, {"online", "0\n"}}}, {"BAT0", {{"type", "Battery\n"}, {"capacity", "57\n"}}}},
       0, 57},
      {"energy counts beat capacity and are summed",
       {{"BAT0", {{"type", "Battery\n"}, {"energy_now", "30000000\n"}, {"energy_full", "40000000\n"}, {"capacity", "1\n"}}},
        {"BAT1", {{"type", "Battery\n"}, {"energy_now", "10000000\n"}, {"energy_full", "40000000\n"}}}},
       255, 50},
      {"charge counts when there is no energy pair",
       {{"BAT0", {{"type", "Battery\n"}, {"charge_now", "900\n"}, {"charge_full", "1000\n"}}}}, 255, 90},
      {"battery left out when not present",
       {{"BAT0", {{"type", "Battery\n"}, {"present", "0\n"}, {"capacity", "80\n"}}}}, 255, 255},
      {"any online mains supply counts",
       {{"AC", {{"type", "Mains\n"}, {"online", "0\n"}}}, {"usb", {{"type", "USB\n"}, {"online", "1\n"}}}}, 1, 255},
      {"garbage numbers are ignored",
       {{"AC", {{"type", "Mains\n"}, {"online", "yes\n"}}},
        {"BAT0", {{"type", "Battery\n"}, {"capacity", "-5\n"}, {"energy_now", "12abc"}, {"energy_full", "0"}}}},
       255, 255},
      {"a charge above full is capped", {{"BAT0", {{"type", "Battery\n"}, {"capacity", "140"}}}}, 255, 100},
      {"other supply types are ignored", {{"ups", {{"type", "UPS\n"}, {"online", "1\n"}, {"capacity", "20\n"}}}}, 255, 255},
  };
  for (const auto& c : cases) {
    fs::remove_all(root_);
    fs::create_directories(root_);
    PowerStatus s = read(c.tree);
    EXPECT_EQ(s.ac_line, c.ac_line) << c.what;
    EXPECT_EQ(s.battery_percent, c.percent) << c.what;
  }
}

TEST_F(PowerSupplyTest, MissingFolderIsUnknown) {
  PowerStatus s = read_power_status((root_ / "absent/").string());
  EXPECT_EQ(s.ac_line, 255);
  EXPECT_EQ(s.battery_percent, 255);
}

}  // namespace
}  // namespace qz
