#include "emulate/emulated_bridge.h"

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

namespace tlx::emulate {
namespace {

constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};
constexpr std::size_t kPacketSize = 64;
constexpr std::uint8_t kRequestReset = 0x00;
constexpr std::uint8_t kRequestSetLatency = 0x09;
constexpr std::uint16_t kFlushFromHost = 1;

struct Unref {
  void operator()(void* object) const { g_object_unref(object); }
};
using DataRef = std::unique_ptr<UMockdevIoctlData, Unref>;

// Makes the client's memory at a pointer inside `data` readable here; changes go back to the
// client when the request completes.
DataRef Resolve(UMockdevIoctlData* data, std::size_t offset, std::size_t length) {
  return DataRef(umockdev_ioctl_data_resolve(data, offset, length, nullptr));
}

usbdevfs_urb& UrbOf(UMockdevIoctlData* data) {
  return *reinterpret_cast<usbdevfs_urb*>(data->data);
}

std::uint8_t* BufferOf(UMockdevIoctlData* urb, std::size_t length) {
  return Resolve(urb, offsetof(usbdevfs_urb, buffer), length)->data;
}

std::string SysPath(UsbPort where) {
  const std::string bus = std::to_string(where.bus);
  return "/sys/devices/usb" + bus + "/" + bus + "-" + std::to_string(where.port);
}

// Every plug-in takes the next address, as the kernel hands them out on each bus.
int NextAddress() {
  static int last = 1;
  return last = last % 127 + 1;
}

// String descriptor indices of the device descriptor below.
constexpr std::uint8_t kManufacturerIndex = 1;
constexpr std::uint8_t kProductIndex = 2;
constexpr std::uint8_t kSerialIndex = 3;

// The kernel's view of an FT232R (bcdDevice 6.00): one interface, bulk endpoints 0x81 and
// 0x02 of 64 bytes. libusb reads it from sysfs, the program the strings over USB; a chip
// without a serial number string has neither its index nor its attribute.
std::string SysfsEntry(const BridgeSpec& spec, UsbPort where, int address) {
  std::string serial;  // umockdev reads values with C escapes
  for (char c : spec.serial) serial += c == '\\' ? "\\\\" : std::string(1, c);
  if (!serial.empty()) serial = "A: serial=" + serial + "\\n\n";
  char entry[1024];
  std::snprintf(
      entry, sizeof entry,
      "P: /devices/usb%d/%d-%d\nN: bus/usb/%03d/%03d\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
      "E: BUSNUM=%03d\nE: DEVNUM=%03d\nE: DEVNAME=/dev/bus/usb/%03d/%03d\nA: busnum=%d\\n\n"
      "A: devnum=%d\\n\nA: speed=12\\n\nA: bConfigurationValue=1\\n\n"
      "A: manufacturer=FTDI\\n\nA: product=%s\\n\n%s"
      "H: descriptors=1201000200000008%02x%02x01600006%02x%02x%02x0109022000010100803209040000"
      "02ffffff020705810240000007050202400000\n",
      where.bus, where.bus, where.port, where.bus, address, where.bus, address, where.bus, address,
      where.bus, address, spec.product.c_str(), serial.c_str(), spec.vendorId & 0xFF,
      spec.vendorId >> 8, kManufacturerIndex, kProductIndex,
      spec.serial.empty() ? 0 : kSerialIndex);
  return entry;
}

// Nothing for an index the chip has no string for: the request stalls.
std::vector<std::uint8_t> StringDescriptor(std::uint8_t index, const BridgeSpec& spec) {
  if (index == 0) return {4, USB_DT_STRING, 0x09, 0x04};  // English (US) only
  const std::string text = index == kManufacturerIndex ? "FTDI"
                           : index == kProductIndex    ? spec.product
                           : index == kSerialIndex     ? spec.serial
                                                       : "";
  if (text.empty()) return {};
  std::vector<std::uint8_t> utf16{static_cast<std::uint8_t>(2 + 2 * text.size()), USB_DT_STRING};
  for (char c : text) utf16.insert(utf16.end(), {static_cast<std::uint8_t>(c), 0});
  return utf16;
}

}  // namespace

struct EmulatedBridge::Urb {
  UMockdevIoctlClient* client;
  DataRef data;
  BridgeClock::time_point due;
  bool bulkIn = false;
  int status = 0;
};

EmulatedBridge::EmulatedBridge(UMockdevTestbed* testbed, BridgeSpec spec, UsbPort where)
    : testbed_(testbed),
      handler_(umockdev_ioctl_base_new()),
      spec_(std::move(spec)),
      where_(where),
      board_({'K', 'V'}, spec_.hardwareByte, spec_.firmwareByte),
      answerer_([this](std::stop_token stop) { AnswerRequests(stop); }) {
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&OnIoctl), this);
  Plug();
}

// Requests still queued come from programs that outlived the bus; nobody waits for them.
EmulatedBridge::~EmulatedBridge() {
  g_signal_handlers_disconnect_by_data(handler_, this);
  g_object_unref(handler_);
  answerer_.request_stop();
  answerer_.join();
  for (UMockdevIoctlClient* client : requests_) g_object_unref(client);
}

void EmulatedBridge::Plug() {
  std::lock_guard lock(mutex_);
  const auto flash = board_.Flash();
  board_ = sim::BootloaderModel({'K', 'V'}, spec_.hardwareByte, spec_.firmwareByte);
  board_.Flash() = flash;
  fifoToHost_.clear();
  latency_ = std::chrono::milliseconds(16);
  lastPacket_ = BridgeClock::now();
  report_.serialDriverBound = true;
  claimedBy_ = nullptr;
  const int address = NextAddress();
  char node[32];
  std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", where_.bus, address);
  node_ = node;
  umockdev_testbed_attach_ioctl(testbed_, node_.c_str(), handler_, nullptr);
  umockdev_testbed_add_from_string(testbed_, SysfsEntry(spec_, where_, address).c_str(), nullptr);
  umockdev_testbed_uevent(testbed_, SysPath(where_).c_str(), "add");
}

void EmulatedBridge::Unplug() {
  std::lock_guard lock(mutex_);
  PullOut();
}

void EmulatedBridge::PullOut() {
  if (node_.empty()) return;
  report_.unpluggedAt = BridgeClock::now();
  for (auto& urb : urbs_) {
    urb->status = -ESHUTDOWN;
    urb->due = report_.unpluggedAt;
  }
  node_.clear();
  umockdev_testbed_uevent(testbed_, SysPath(where_).c_str(), "remove");
  umockdev_testbed_remove_device(testbed_, SysPath(where_).c_str());
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
  g_autofree char* root = umockdev_testbed_get_root_dir(testbed_);
  chmod((root + node_).c_str(), 0);
}

BridgeReport EmulatedBridge::Report() const {
  std::lock_guard lock(mutex_);
  return report_;
}

// umockdev's one worker thread serves every bridge on the testbed, and reading or writing a
// program's memory is a round trip to that program during which the worker waits; so the
// worker only queues each request for its bridge's own thread, which answers it.
int EmulatedBridge::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
  auto& bridge = *static_cast<EmulatedBridge*>(self);
  {
    std::lock_guard lock(bridge.requestsMutex_);
    bridge.requests_.push_back(static_cast<UMockdevIoctlClient*>(g_object_ref(client)));
  }
  bridge.requestQueued_.notify_one();
  return TRUE;
}

void EmulatedBridge::AnswerRequests(std::stop_token stop) {
  std::unique_lock lock(requestsMutex_);
  while (requestQueued_.wait(lock, stop, [this] { return !requests_.empty(); })) {
    UMockdevIoctlClient* client = requests_.front();
    requests_.pop_front();
    lock.unlock();
    AnswerRequest(client);
    lock.lock();
  }
}

void EmulatedBridge::AnswerRequest(UMockdevIoctlClient* client) {
  {
    std::lock_guard lock(mutex_);
    const Answer answer = Respond(client, umockdev_ioctl_client_get_request(client),
                                  umockdev_ioctl_client_get_arg(client));
    umockdev_ioctl_client_complete(client, answer.result, answer.error);
  }
  g_object_unref(client);
}

// A handle opened before the last unplug sees a device that is gone.
EmulatedBridge::Answer EmulatedBridge::Respond(UMockdevIoctlClient* client, unsigned long request,
                                               UMockdevIoctlData* arg) {
  if (request == USBDEVFS_REAPURBNDELAY || request == USBDEVFS_REAPURB) return Reap(client, arg);
  if (node_.empty() || node_ != umockdev_ioctl_client_get_devnode(client)) return {-1, ENODEV};
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
      *reinterpret_cast<std::uint32_t*>(Resolve(arg, 0, 4)->data) =
          USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
      return {0, 0};
    case USBDEVFS_SUBMITURB:
      return Submit(client, arg);
    case USBDEVFS_DISCARDURB:
      return Discard(client, *reinterpret_cast<unsigned long*>(arg->data));
    case USBDEVFS_DISCONNECT_CLAIM:
    case USBDEVFS_CLAIMINTERFACE:
      return Claim(client, request == USBDEVFS_DISCONNECT_CLAIM);
    case USBDEVFS_RELEASEINTERFACE:
      if (claimedBy_ == client) claimedBy_ = nullptr;
      return {0, 0};
    case USBDEVFS_IOCTL: {
      const int code =
          reinterpret_cast<usbdevfs_ioctl*>(Resolve(arg, 0, sizeof(usbdevfs_ioctl))->data)
              ->ioctl_code;
      return Driver(code == USBDEVFS_CONNECT);
    }
    default:
      return {-1, ENOTTY};
  }
}

// Control requests and writes are done at once; a read completes when the chip next sends,
// which is at once if its latency timer has run out since it last sent, else when it does.
EmulatedBridge::Answer EmulatedBridge::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
  auto urb =
      std::make_unique<Urb>(Urb{client, Resolve(arg, 0, sizeof(usbdevfs_urb)), BridgeClock::now()});
  const usbdevfs_urb& request = UrbOf(urb->data.get());
  bool pulledOut = false;
  if (request.type == USBDEVFS_URB_TYPE_CONTROL) {
    ++report_.controlUrbs;
    urb->status = Control(urb->data.get());
  } else if (request.endpoint & USB_DIR_IN) {
    ++report_.bulkInUrbs;
    urb->bulkIn = true;
    urb->due = std::max(urb->due, lastPacket_ + latency_);
  } else {
    ++report_.bulkOutUrbs;
    pulledOut = !ToBoard(urb->data.get());
  }
  urbs_.push_back(std::move(urb));
  if (pulledOut) PullOut();
  return {0, 0};
}

EmulatedBridge::Answer EmulatedBridge::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
  const auto now = BridgeClock::now();
  const auto done = std::find_if(urbs_.begin(), urbs_.end(), [&](const auto& urb) {
    return urb->client == client && urb->due <= now;
  });
  if (done == urbs_.end())
    return {-1, node_ == umockdev_ioctl_client_get_devnode(client) ? EAGAIN : ENODEV};
  usbdevfs_urb& request = UrbOf((*done)->data.get());
  request.status = (*done)->status;
  if (request.status != 0) request.actual_length = 0;
  if ((*done)->bulkIn && request.status == 0) ToHost((*done)->data.get());
  umockdev_ioctl_data_set_ptr(Resolve(arg, 0, sizeof(void*)).get(), 0, (*done)->data.get());
  urbs_.erase(done);
  return {0, 0};
}

// A cancelled transfer ends with -ENOENT, without the data it did not take.
EmulatedBridge::Answer EmulatedBridge::Discard(UMockdevIoctlClient* client, unsigned long urb) {
  for (auto& pending : urbs_) {
    if (pending->client != client || pending->data->client_addr != urb) continue;
    pending->status = -ENOENT;
    pending->due = BridgeClock::now();
    return {0, 0};
  }
  return {-1, EINVAL};
}

// The serial driver holds the interface until it is detached; one handle at a time claims it.
EmulatedBridge::Answer EmulatedBridge::Claim(UMockdevIoctlClient* client, bool detachDriver) {
  if (claimedBy_ != nullptr && claimedBy_ != client) return {-1, EBUSY};
  if (detachDriver) report_.serialDriverBound = false;
  if (report_.serialDriverBound) return {-1, EBUSY};
  claimedBy_ = client;
  return {0, 0};
}

// The serial driver comes back on request; detached already, it cannot go again.
EmulatedBridge::Answer EmulatedBridge::Driver(bool connect) {
  if (connect && claimedBy_ != nullptr) return {-1, EBUSY};
  if (!connect && !report_.serialDriverBound) return {-1, ENODATA};
  report_.serialDriverBound = connect;
  return {0, 0};
}

// The setup packet leads the buffer, the device's answer follows it. Returns the transfer's
// status: -EPIPE for a string the chip does not have.
int EmulatedBridge::Control(UMockdevIoctlData* urb) {
  usbdevfs_urb& request = UrbOf(urb);
  std::uint8_t* buffer = BufferOf(urb, static_cast<std::size_t>(request.buffer_length));
  usb_ctrlrequest setup;
  std::memcpy(&setup, buffer, sizeof setup);
  report_.trace.push_back({Crossing::Control, setup.bRequest, setup.wValue, {}});
  std::vector<std::uint8_t> answer;
  if (setup.bRequest == USB_REQ_GET_DESCRIPTOR && setup.bRequestType == USB_DIR_IN) {
    answer = StringDescriptor(setup.wValue & 0xFF, spec_);
    if (answer.empty()) return -EPIPE;
  } else if (setup.bRequestType & USB_DIR_IN) {
    answer.assign(setup.wLength, 0);
  }
  if (setup.bRequest == kRequestSetLatency && !(setup.bRequestType & USB_DIR_IN))
    latency_ = std::chrono::milliseconds(std::max(setup.wValue & 0xFF, 1));
  if (setup.bRequest == kRequestReset && setup.wValue != kFlushFromHost) fifoToHost_.clear();
  const std::size_t length = std::min<std::size_t>(answer.size(), setup.wLength);
  std::copy_n(answer.begin(), length, buffer + sizeof setup);
  request.actual_length = static_cast<int>(length);
  return 0;
}

// The bytes reach the board at once; its reply waits in the chip's FIFO for the host.
bool EmulatedBridge::ToBoard(UMockdevIoctlData* urb) {
  usbdevfs_urb& request = UrbOf(urb);
  const auto length = static_cast<std::size_t>(request.buffer_length);
  const std::span<const std::uint8_t> bytes(BufferOf(urb, length), length);
  if (unplugOnWrite_ && unplugOnWrite_(bytes)) {
    unplugOnWrite_ = nullptr;
    return false;
  }
  report_.trace.push_back({Crossing::ToBoard, 0, 0, {bytes.begin(), bytes.end()}});
  board_.Receive(bytes);
  request.actual_length = request.buffer_length;
  auto arrival = BridgeClock::now();
  if (!fifoToHost_.empty()) arrival = std::max(arrival, fifoToHost_.back().first + replyPace_);
  for (std::uint8_t byte = 0; board_.TakeReply({&byte, 1}) == 1; arrival += replyPace_)
    fifoToHost_.emplace_back(arrival, byte);
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
    const std::size_t start = data.size();
    while (data.size() - start < kPacketSize - 2 && !fifoToHost_.empty() &&
           fifoToHost_.front().first <= now) {
      data.push_back(fifoToHost_.front().second);
      packets.push_back(data.back());
      fifoToHost_.pop_front();
    }
    if (data.size() - start < kPacketSize - 2) break;
  }
  std::copy(packets.begin(), packets.end(), BufferOf(urb, packets.size()));
  request.actual_length = static_cast<int>(packets.size());
  lastPacket_ = now;
  if (!data.empty()) report_.trace.push_back({Crossing::ToHost, 0, 0, std::move(data)});
}

}  // namespace tlx::emulate
