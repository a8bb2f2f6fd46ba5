#include "emulated_bridge.h"

#include <linux/ioctl.h>
#include <linux/usb/ch9.h>
#include <linux/usbdevice_fs.h>
#include <sys/stat.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace tlx::test {
namespace {

constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};
constexpr int kPacketSize = 64;
constexpr std::chrono::milliseconds kDefaultLatency{16};
constexpr std::uint8_t kRequestReset = 0x00;
constexpr std::uint8_t kRequestSetLatency = 0x09;
constexpr std::uint16_t kFlushFromHost = 1;
constexpr std::uint8_t kProductIndex = 2;

struct Unref {
  void operator()(void* object) const { g_object_unref(object); }
};
using DataRef = std::unique_ptr<UMockdevIoctlData, Unref>;

DataRef Resolve(UMockdevIoctlData* data, std::size_t offset, std::size_t length) {
  return DataRef(umockdev_ioctl_data_resolve(data, offset, length, nullptr));
}

usbdevfs_urb& UrbOf(UMockdevIoctlData* data) {
  return *reinterpret_cast<usbdevfs_urb*>(data->data);
}

DataRef BufferOf(UMockdevIoctlData* urb, std::size_t length) {
  return Resolve(urb, offsetof(usbdevfs_urb, buffer), length);
}

// Every plug-in gets the next address on bus 1, as the kernel gives them out.
int NextDeviceNumber() {
  static int last = 1;
  return last = last % 127 + 1;
}

// FT232R (bcdDevice 6.00): one interface, bulk endpoints 0x81 and 0x02 of 64 bytes.
std::string Descriptors(std::uint16_t vendorId) {
  char device[64];
  std::snprintf(device, sizeof device, "1201000200000008%02x%02x016000060102030109022000010100a02d",
                vendorId & 0xFF, vendorId >> 8);
  return std::string(device) + "0904000002ffffff02" + "07058102400000" + "07050202400000";
}

std::string SysfsEntry(const BridgeSpec& spec, int port, int device) {
  char text[1024];
  std::snprintf(
      text, sizeof text,
      "P: /devices/usb1/1-%d\nN: bus/usb/001/%03d\nE: SUBSYSTEM=usb\n"
      "E: DEVTYPE=usb_device\nE: BUSNUM=001\nE: DEVNUM=%03d\n"
      "E: DEVNAME=/dev/bus/usb/001/%03d\nA: busnum=1\\n\nA: devnum=%d\\n\n"
      "A: bConfigurationValue=1\\n\nA: speed=12\\n\nA: product=%s\\n\nH: descriptors=%s\n",
      port, device, device, device, device, spec.product.c_str(),
      Descriptors(spec.vendorId).c_str());
  return text;
}

std::vector<std::uint8_t> StringDescriptor(std::uint8_t index, const std::string& product) {
  if (index == 0) return {4, USB_DT_STRING, 0x09, 0x04};
  std::vector<std::uint8_t> text{static_cast<std::uint8_t>(2 + 2 * product.size()), USB_DT_STRING};
  for (char c : product) text.insert(text.end(), {static_cast<std::uint8_t>(c), 0});
  return text;
}

}  // namespace

struct EmulatedBridge::Urb {
  UMockdevIoctlClient* client;
  DataRef data;
  BridgeClock::time_point due;
  bool bulkIn = false;
  int status = 0;
};

EmulatedBridge::EmulatedBridge(UMockdevTestbed* testbed, BridgeSpec spec, int port)
    : testbed_(testbed),
      handler_(umockdev_ioctl_base_new()),
      spec_(std::move(spec)),
      port_(port),
      board_({'K', 'V'}, 0x21, spec_.firmwareByte) {
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&OnIoctl), this);
  Plug();
}

EmulatedBridge::~EmulatedBridge() {
  g_signal_handlers_disconnect_by_data(handler_, this);
  g_object_unref(handler_);
}

void EmulatedBridge::Plug() {
  std::lock_guard lock(mutex_);
  const auto flash = board_.Flash();
  board_ = sim::BootloaderModel({'K', 'V'}, 0x21, spec_.firmwareByte);
  board_.Flash() = flash;
  fifoToHost_.clear();
  latency_ = kDefaultLatency;
  lastPacket_ = BridgeClock::now();
  driverBound_ = true;
  claimedBy_ = nullptr;
  const int device = NextDeviceNumber();
  char node[32];
  std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", device);
  node_ = node;
  sysPath_ = "/sys/devices/usb1/1-" + std::to_string(port_);
  umockdev_testbed_attach_ioctl(testbed_, node, handler_, nullptr);
  umockdev_testbed_add_from_string(testbed_, SysfsEntry(spec_, port_, device).c_str(), nullptr);
  if (locked_) LockNode();
  umockdev_testbed_uevent(testbed_, sysPath_.c_str(), "add");
}

void EmulatedBridge::Unplug() {
  std::lock_guard lock(mutex_);
  PullOut();
}

void EmulatedBridge::PullOut() {
  if (node_.empty()) return;
  unpluggedAt_ = BridgeClock::now();
  for (auto& urb : urbs_) {
    urb->status = -ESHUTDOWN;
    urb->due = unpluggedAt_;
  }
  node_.clear();
  umockdev_testbed_uevent(testbed_, sysPath_.c_str(), "remove");
  umockdev_testbed_remove_device(testbed_, sysPath_.c_str());
}

void EmulatedBridge::UnplugOnWrite(std::function<bool(std::span<const std::uint8_t>)> matches) {
  std::lock_guard lock(mutex_);
  unplugOnWrite_ = std::move(matches);
}

void EmulatedBridge::PaceReplies(std::chrono::milliseconds perByte) {
  std::lock_guard lock(mutex_);
  replyPace_ = perByte;
}

void EmulatedBridge::LockNode() {
  locked_ = true;
  g_autofree char* root = umockdev_testbed_get_root_dir(testbed_);
  chmod((root + node_).c_str(), 0600);
}

std::vector<Crossing> EmulatedBridge::Trace() const {
  std::lock_guard lock(mutex_);
  return trace_;
}

UrbCounts EmulatedBridge::Counts() const {
  std::lock_guard lock(mutex_);
  return counts_;
}

bool EmulatedBridge::SerialDriverBound() const {
  std::lock_guard lock(mutex_);
  return driverBound_;
}

BridgeClock::time_point EmulatedBridge::UnpluggedAt() const {
  std::lock_guard lock(mutex_);
  return unpluggedAt_;
}

std::string EmulatedBridge::NodePath() const {
  std::lock_guard lock(mutex_);
  return node_;
}

int EmulatedBridge::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
  auto& bridge = *static_cast<EmulatedBridge*>(self);
  std::lock_guard lock(bridge.mutex_);
  const Answer answer = bridge.Respond(client);
  umockdev_ioctl_client_complete(client, answer.result, answer.error);
  return TRUE;
}

bool EmulatedBridge::Current(UMockdevIoctlClient* client) const {
  return !node_.empty() && node_ == umockdev_ioctl_client_get_devnode(client);
}

EmulatedBridge::Answer EmulatedBridge::Respond(UMockdevIoctlClient* client) {
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  if (request == USBDEVFS_REAPURBNDELAY || request == USBDEVFS_REAPURB) return Reap(client, arg);
  if (!Current(client)) return {-1, ENODEV};
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
      *reinterpret_cast<std::uint32_t*>(Resolve(arg, 0, sizeof(std::uint32_t))->data) =
          USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
          USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
      return {0, 0};
    case USBDEVFS_SUBMITURB:
      return Submit(client, arg);
    case USBDEVFS_DISCARDURB:
      return Discard(client, arg);
    case USBDEVFS_DISCONNECT_CLAIM:
      return Claim(client, true);
    case USBDEVFS_CLAIMINTERFACE:
      return Claim(client, false);
    case USBDEVFS_RELEASEINTERFACE:
      if (claimedBy_ == client) claimedBy_ = nullptr;
      return {0, 0};
    case USBDEVFS_IOCTL:
      return DriverRequest(arg);
    default:
      std::fprintf(stderr, "emulated bridge: unknown request %lx\n", request);
      return {-1, ENOTTY};
  }
}

EmulatedBridge::Answer EmulatedBridge::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
  auto urb =
      std::make_unique<Urb>(Urb{client, Resolve(arg, 0, sizeof(usbdevfs_urb)), BridgeClock::now()});
  usbdevfs_urb& request = UrbOf(urb->data.get());
  bool pulledOut = false;
  if (request.type == USBDEVFS_URB_TYPE_CONTROL) {
    ++counts_.control;
    urb->status = Control(urb->data.get());
  } else if (request.endpoint & USB_DIR_IN) {
    ++counts_.bulkIn;
    urb->bulkIn = true;
    urb->due = std::max(urb->due, lastPacket_ + latency_);
  } else {
    ++counts_.bulkOut;
    pulledOut = !ToBoard(urb->data.get());
  }
  urbs_.push_back(std::move(urb));
  if (pulledOut) PullOut();
  return {0, 0};
}

EmulatedBridge::Answer EmulatedBridge::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
  const auto now = BridgeClock::now();
  const auto ready = std::find_if(urbs_.begin(), urbs_.end(), [&](const auto& urb) {
    return urb->client == client && urb->due <= now;
  });
  if (ready == urbs_.end()) return {-1, Current(client) ? EAGAIN : ENODEV};
  Urb& urb = **ready;
  UrbOf(urb.data.get()).status = urb.status;
  if (urb.status != 0) UrbOf(urb.data.get()).actual_length = 0;
  if (urb.bulkIn && urb.status == 0) ToHost(urb.data.get());
  umockdev_ioctl_data_set_ptr(Resolve(arg, 0, sizeof(void*)).get(), 0, urb.data.get());
  urbs_.erase(ready);
  return {0, 0};
}

EmulatedBridge::Answer EmulatedBridge::Discard(UMockdevIoctlClient* client,
                                               UMockdevIoctlData* arg) {
  const auto address = *reinterpret_cast<unsigned long*>(arg->data);
  for (auto& urb : urbs_) {
    if (urb->client != client || urb->data->client_addr != address) continue;
    urb->status = -ENOENT;
    urb->due = BridgeClock::now();
    return {0, 0};
  }
  return {-1, EINVAL};
}

// The serial driver holds the interface until it is detached; one handle at a time claims it.
EmulatedBridge::Answer EmulatedBridge::Claim(UMockdevIoctlClient* client, bool detachDriver) {
  if (claimedBy_ != nullptr && claimedBy_ != client) return {-1, EBUSY};
  if (detachDriver) driverBound_ = false;
  if (driverBound_) return {-1, EBUSY};
  claimedBy_ = client;
  return {0, 0};
}

EmulatedBridge::Answer EmulatedBridge::DriverRequest(UMockdevIoctlData* arg) {
  const auto& command =
      *reinterpret_cast<usbdevfs_ioctl*>(Resolve(arg, 0, sizeof(usbdevfs_ioctl))->data);
  if (command.ioctl_code == USBDEVFS_CONNECT) {
    if (claimedBy_ != nullptr) return {-1, EBUSY};
    driverBound_ = true;
    return {0, 0};
  }
  if (command.ioctl_code != USBDEVFS_DISCONNECT || !driverBound_) return {-1, ENODATA};
  driverBound_ = false;
  return {0, 0};
}

// The setup packet leads the buffer; what the device answers follows it. Returns the status.
int EmulatedBridge::Control(UMockdevIoctlData* urb) {
  usbdevfs_urb& request = UrbOf(urb);
  std::uint8_t* buffer = BufferOf(urb, request.buffer_length)->data;
  usb_ctrlrequest setup;
  std::memcpy(&setup, buffer, sizeof setup);
  trace_.push_back({Crossing::Control, setup.bRequest, setup.wValue, {}});
  std::vector<std::uint8_t> reply;
  if (setup.bRequestType == USB_DIR_IN && setup.bRequest == USB_REQ_GET_DESCRIPTOR) {
    const std::uint8_t index = setup.wValue & 0xFF;
    if (setup.wValue >> 8 != USB_DT_STRING || (index != 0 && index != kProductIndex)) return -EPIPE;
    reply = StringDescriptor(index, spec_.product);
  } else if (setup.bRequestType == (USB_TYPE_VENDOR | USB_DIR_OUT)) {
    if (setup.bRequest == kRequestSetLatency)
      latency_ = std::chrono::milliseconds(std::max(setup.wValue & 0xFF, 1));
    if (setup.bRequest == kRequestReset && setup.wValue != kFlushFromHost) fifoToHost_.clear();
  } else {
    reply.assign(setup.wLength, 0);
  }
  const std::size_t length = std::min<std::size_t>(reply.size(), setup.wLength);
  std::copy_n(reply.begin(), length, buffer + sizeof setup);
  request.actual_length = static_cast<int>(length);
  return 0;
}

// Bytes reach the board at once; its reply waits in the chip's FIFO for the host.
bool EmulatedBridge::ToBoard(UMockdevIoctlData* urb) {
  usbdevfs_urb& request = UrbOf(urb);
  const std::span<const std::uint8_t> bytes(BufferOf(urb, request.buffer_length)->data,
                                            static_cast<std::size_t>(request.buffer_length));
  if (unplugOnWrite_ && unplugOnWrite_(bytes)) {
    unplugOnWrite_ = nullptr;
    return false;
  }
  trace_.push_back({Crossing::ToBoard, 0, 0, {bytes.begin(), bytes.end()}});
  board_.Receive(bytes);
  request.actual_length = request.buffer_length;
  auto release = BridgeClock::now();
  if (!fifoToHost_.empty()) release = std::max(release, fifoToHost_.back().first + replyPace_);
  std::uint8_t byte = 0;
  for (; board_.TakeReply({&byte, 1}) == 1; release += replyPace_)
    fifoToHost_.emplace_back(release, byte);
  return true;
}

// Whole packets of the status bytes and 62 data bytes; a short packet ends the transfer.
void EmulatedBridge::ToHost(UMockdevIoctlData* urb) {
  usbdevfs_urb& request = UrbOf(urb);
  const auto now = BridgeClock::now();
  std::vector<std::uint8_t> packets;
  std::vector<std::uint8_t> data;
  while (packets.size() + kPacketSize <= static_cast<std::size_t>(request.buffer_length)) {
    packets.insert(packets.end(), std::begin(kModemStatus), std::end(kModemStatus));
    std::size_t payload = 0;
    for (; payload < kPacketSize - 2 && !fifoToHost_.empty() && fifoToHost_.front().first <= now;
         ++payload) {
      packets.push_back(fifoToHost_.front().second);
      data.push_back(fifoToHost_.front().second);
      fifoToHost_.pop_front();
    }
    if (payload < kPacketSize - 2) break;
  }
  std::copy(packets.begin(), packets.end(), BufferOf(urb, packets.size())->data);
  request.actual_length = static_cast<int>(packets.size());
  lastPacket_ = now;
  if (!data.empty()) trace_.push_back({Crossing::ToHost, 0, 0, std::move(data)});
}

}  // namespace tlx::test
