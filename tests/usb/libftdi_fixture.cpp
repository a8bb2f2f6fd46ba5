#include "libftdi_fixture.h"

#include <unistd.h>
#include <algorithm>
#include <fstream>

namespace tlx::usb::testing {
namespace {

std::filesystem::path FreshFolder() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("tlx-sysfs-") + test->test_suite_name() + "-" + test->name() +
                     "-" + std::to_string(getpid());
  std::replace(name.begin(), name.end(), '/', '-');
  const auto folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string SysfsName(const FakeFtdiSpec& spec) {
  std::string name = std::to_string(spec.bus) + "-";
  for (std::size_t i = 0; i < spec.ports.size(); ++i)
    name += (i ? "." : "") + std::to_string(spec.ports[i]);
  return name;
}

}  // namespace

LibftdiFixture::LibftdiFixture() : sysfs_(FreshFolder()), d2xx_(sysfs_) {}

LibftdiFixture::~LibftdiFixture() {
  std::filesystem::remove_all(sysfs_);
}

FakeFtdiDevice& LibftdiFixture::Plug(FakeFtdiSpec spec, std::unique_ptr<FifoPeer> peer) {
  if (spec.ports.empty()) spec.ports = {static_cast<std::uint8_t>(++pluggedCount_)};
  const auto folder = sysfs_ / SysfsName(spec);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "product") << spec.product << '\n';
  return bus_->Plug(std::move(spec), std::move(peer));
}

FakeFtdiDevice& LibftdiFixture::PlugBoard(std::unique_ptr<FifoPeer> peer) {
  return Plug(Bridge(kBoardName).Product(kBoardProductId), std::move(peer));
}

FT_HANDLE LibftdiFixture::OpenBoard() {
  FT_HANDLE handle = 0;
  if (d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle) != FT_OK) return 0;
  EXPECT_EQ(d2xx_.FT_SetTimeouts(handle, 100, 0), FT_OK);
  EXPECT_EQ(d2xx_.FT_SetLatencyTimer(handle, 2), FT_OK);
  EXPECT_EQ(d2xx_.FT_SetUSBParameters(handle, 65536, 65536), FT_OK);
  return handle;
}

}  // namespace tlx::usb::testing
