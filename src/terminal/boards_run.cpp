#include "terminal/boards_run.h"

#include <condition_variable>
#include <iostream>
#include <mutex>
#include <thread>

#include "app/firmware_loader.h"
#include "app/window_texts.h"
#include "common/utf8_path.h"
#include "image/firmware_file.h"
#include "image/firmware_image.h"
#include "terminal/exit_status.h"
#include "terminal/shared_process_services.h"

namespace tlx::terminal {
namespace {

constexpr auto kCloseRequestPoll = std::chrono::milliseconds(50);

}  // namespace

int BoardsExitStatus(const std::vector<BoardResult>& results) {
  const Tally tally = Count(results);
  if (tally.complete + tally.alreadyCurrent == results.size()) return kExitComplete;
  if (tally.complete + tally.failed > 0) return kExitUpdateFailed;
  return tally.stopped > 0 ? kExitStopped : kExitRefused;
}

BoardsRun::BoardsRun(const std::vector<ListedBoard>& boards, BoardConnector& connector,
                     ProcessServices& process, std::shared_ptr<SessionLogFile> logFile,
                     BoardsReport& report, CloseRequests& closeRequests, BoardsRunSettings settings)
    : boards_(boards),
      connector_(connector),
      process_(process),
      logFile_(std::move(logFile)),
      report_(report),
      closeRequests_(closeRequests),
      settings_(std::move(settings)) {}

int BoardsRun::Run() {
  SharedProcessServices shared(process_);
  // One lock for the whole run, taken before any board is touched.
  if (shared.PrevInstance()) {
    const MessageText message = AlreadyRunning(shared.InstanceHolder());
    report_.Notice(std::string(message.title.value_or(kApplicationTitle)) + ": " + message.text);
    return kExitAlreadyRunning;
  }
  const FirmwareFile firmware = ReadFirmwareOnce();
  std::vector<std::size_t> all;
  for (std::size_t index = 0; index < boards_.size(); ++index) {
    lanes_.push_back(std::make_unique<BoardLane>(boards_[index], connector_.Connect(boards_[index]),
                                                 shared, logFile_, report_.Board(index), firmware));
    all.push_back(index);
  }
  const bool skipCurrent = settings_.skipCurrent;
  if (settings_.yes) {
    // Nothing to ask: each board goes on to its flash as soon as its own check is done.
    OnEachAtOnce(all, [&](std::size_t index) {
      if (!lanes_[index]->Check(skipCurrent)) return;
      ReportReady(index);
      FlashUnlessStopped(index);
    });
  } else {
    OnEachAtOnce(all, [&](std::size_t index) { lanes_[index]->Check(skipCurrent); });
    std::vector<std::size_t> ready;
    for (std::size_t index : all)
      if (!lanes_[index]->Ended()) ready.push_back(index);
    if (!ready.empty() && ConfirmFlash(ready))
      OnEachAtOnce(ready, [&](std::size_t index) { FlashUnlessStopped(index); });
  }

  std::vector<BoardResult> results;
  for (const auto& lane : lanes_) results.push_back(lane->Result());
  const int exitStatus = BoardsExitStatus(results);
  report_.Summary(results, exitStatus);
  return exitStatus;
}

// Every board gets the same bytes, whenever its check reads them.
FirmwareFile BoardsRun::ReadFirmwareOnce() const {
  FirmwareFile firmware{settings_.file.empty() ? kDefaultFirmwareFile : settings_.file, nullptr};
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(kContainerSize);
  if (!EndsWithFwu(firmware.path) || !ReadContainer(Utf8Path(firmware.path), *bytes))
    bytes->clear();
  firmware.bytes = std::move(bytes);
  return firmware;
}

void BoardsRun::OnEachAtOnce(const std::vector<std::size_t>& lanes,
                             const std::function<void(std::size_t)>& step) {
  std::mutex mutex;
  std::condition_variable done;
  std::size_t running = lanes.size();
  std::vector<std::thread> threads;
  for (const std::size_t index : lanes) {
    threads.emplace_back([&, index] {
      step(index);
      Finish(index);
      const std::lock_guard lock(mutex);
      --running;
      done.notify_one();
    });
  }
  std::unique_lock lock(mutex);
  while (!done.wait_for(lock, kCloseRequestPoll, [&] { return running == 0; })) NoteCloseRequest();
  lock.unlock();
  for (std::thread& thread : threads) thread.join();
  NoteCloseRequest();
}

// Before any board flashes, a close request stops them all; once one flashes, it is refused:
// stopping a flash halfway leaves the board unusable.
void BoardsRun::NoteCloseRequest() {
  if (!closeRequests_.Pending()) return;
  const std::lock_guard lock(gate_);
  if (flashing_ == 0) {
    stopRequested_ = true;
  } else if (!refusalTold_) {
    refusalTold_ = true;
    report_.Notice(
        "tlx-update: the update cannot be stopped halfway without leaving the boards unusable; "
        "it goes on.");
  }
}

void BoardsRun::FlashUnlessStopped(std::size_t index) {
  {
    const std::lock_guard lock(gate_);
    if (stopRequested_) return lanes_[index]->Stop();
    ++flashing_;
  }
  lanes_[index]->Flash();
}

void BoardsRun::ReportReady(std::size_t index) {
  const BoardLane& lane = *lanes_[index];
  report_.Ready(index, lane.Hardware(), lane.Firmware(), lane.Image());
}

bool BoardsRun::ConfirmFlash(const std::vector<std::size_t>& ready) {
  for (const std::size_t index : ready) ReportReady(index);
  Answer answer = Answer::CloseRequested;
  if (!stopRequested_) {
    report_.Pause();
    const std::string count = std::to_string(ready.size());
    answer = closeRequests_.Ask(
        std::cerr, "Flash " + count + (ready.size() == 1 ? " board? [y/N] " : " boards? [y/N] "));
  }
  if (answer == Answer::Yes) return true;
  for (const std::size_t index : ready) {
    if (answer == Answer::No) {
      lanes_[index]->Decline();
    } else {
      lanes_[index]->Stop();
    }
    Finish(index);
  }
  return false;
}

void BoardsRun::Finish(std::size_t lane) {
  if (lanes_[lane]->Ended()) report_.Result(lane, lanes_[lane]->Result());
}

}  // namespace tlx::terminal
