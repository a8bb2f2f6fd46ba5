#include "session.h"

#include "app/window_system.h"

namespace tlx::campaign {

std::vector<SeenMessage> SessionRecord::MessagesOf(Phase phase) const {
  std::vector<SeenMessage> matching;
  for (const SeenMessage& seen : messages)
    if (seen.phase == phase) matching.push_back(seen);
  return matching;
}

SessionRecord RunSession(test::AppHarness& app, StartFrom start, const BeforePhase& beforePhase) {
  SessionRecord record;
  Phase current = Phase::StartUp;
  const auto traceSize = [&app] { return app.board.CallTrace().Entries().size(); };
  app.window.onMessage = [&](const test::ShownMessage& message) {
    record.messages.push_back({message, current, traceSize()});
  };
  const auto run = [&](Phase phase, const std::function<void()>& action) {
    current = phase;
    if (beforePhase) beforePhase(phase);
    const std::size_t begin = traceSize();
    action();
    record.phases[static_cast<std::size_t>(phase)] = TraceSpan{begin, traceSize()};
  };

  if (start == StartFrom::ProgramStart) run(Phase::StartUp, [&] { app.form.Form_Load(); });
  if (!app.window.unloaded) run(Phase::DeviceCheck, [&] { app.form.Button_Click(kFindDevice); });
  if (!app.window.unloaded && app.window.buttonVisible[kFlashDevice])
    run(Phase::Flash, [&] { app.form.Button_Click(kFlashDevice); });
  app.window.onMessage = nullptr;
  return record;
}

}  // namespace tlx::campaign
