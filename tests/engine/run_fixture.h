// A run state whose channels are files in a fresh temporary folder, for
// tests that call the engine's routines directly: as a fixture
// (RunFixture) or as one local object per case of a table (RunSandbox).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine_harness.h"
#include "run_state.h"

class RunSandbox {
 public:
  // Makes the folder and the run state with the report open on channel 16;
  // a failure is recorded in the current test and leaves ok() false.
  RunSandbox() {
    dir_ = engine_harness::MakeTempDir();
    R = std::make_unique<::Run>();
    R->IUNIT[4] = 4;
    R->IUNIT[7] = 7;
    R->IUNIT[8] = 8;
    R->IUNIT[16] = 16;
    ok_ = !dir_.empty() && R->ch.Open(16, Path("report.vto"), true);
    if (!ok_) ADD_FAILURE() << "cannot make a run folder with its report";
  }
  ~RunSandbox() {
    R.reset();
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  RunSandbox(const RunSandbox&) = delete;
  RunSandbox& operator=(const RunSandbox&) = delete;

  bool ok() const { return ok_; }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Puts `records` on `unit` as a fresh file, rewound for reading.
  void Feed(int unit, const std::vector<std::string>& records) {
    ASSERT_TRUE(R->ch.Open(unit, Path("unit" + std::to_string(unit)), true));
    for (const auto& r : records) R->ch.Write(unit, r);
    R->ch.Rewind(unit);
  }
  // Every record of `unit` (its position is left at the end).
  std::vector<std::string> Records(int unit) {
    std::vector<std::string> out;
    R->ch.Rewind(unit);
    std::string r;
    while (R->ch.Read(unit, r) == ChannelTable::kRead) out.push_back(r);
    return out;
  }
  std::vector<std::string> Report() { return Records(16); }

  std::filesystem::path dir_;
  std::unique_ptr<::Run> R;

 private:
  bool ok_ = false;
};

class RunFixture : public ::testing::Test, public RunSandbox {
 protected:
  void SetUp() override { ASSERT_TRUE(ok()); }
};
