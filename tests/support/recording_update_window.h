// What the update engine shows and reports, recorded: the failure message, every progress
// value, each pass of the event loop, and the journal of region passes. A test can run code at
// the points where the engine processes pending events or shows its failure.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_texts.h"
#include "flash/update_journal.h"
#include "flash/update_window.h"
#include "recording_window.h"

namespace tlx::test {

struct RecordingUpdateWindow : UpdateWindow, UpdateJournal {
  void ShowFlashing() override { ++flashingShown; }
  void ShowProgress(int value, int maximum) override {
    progressValues.push_back(value);
    progressMax = maximum;
  }
  // Worded as the window words it.
  void ShowFailure(const UpdateFailure& failure) override {
    const MessageText shown = UpdateFailureText(failure);
    messages.push_back({shown.text, std::string(shown.title.value_or("")), 0});
    if (onFailure) onFailure();
  }
  void DoEvents() override {
    ++doEventsCount;
    if (onDoEvents) onDoEvents();
  }
  void RegionPassEnded(const RegionPassRecord& pass) override { passes.push_back(pass); }
  void ReadBackDiffered(const ReadBackDifference& difference) override {
    differences.push_back(difference);
  }

  int flashingShown = 0;
  std::vector<int> progressValues;
  int progressMax = 0;
  std::vector<ShownMessage> messages;
  int doEventsCount = 0;
  std::function<void()> onDoEvents;
  std::function<void()> onFailure;
  std::vector<RegionPassRecord> passes;
  std::vector<ReadBackDifference> differences;
};

}  // namespace tlx::test
