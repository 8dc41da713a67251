// One ANALYS run on data blocks filled directly (no deck), for the driver
// tests: a fresh Run in English units, g = 32.2, echo on, its report and
// plot-data file in a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine_harness.h"
#include "report_framework.h"
#include "run_state.h"
#include "solution_driver.h"

namespace driver_fixture {

struct Driven {
  std::string report, plot;
};

// `withMatrix` sets MATRIX, so the constants are printed.
inline Driven Drive(const std::function<void(::Run&)>& setup, bool withMatrix = false) {
  namespace fs = std::filesystem;
  auto R = std::make_unique<::Run>();
  const fs::path dir = engine_harness::MakeTempDir();
  R->IUNIT[16] = 16;
  if (dir.empty() || !R->ch.Open(16, (dir / "r.vto").string(), true) ||
      !R->ch.Open(6, (dir / "p.vtp").string(), true)) {
    ADD_FAILURE() << "cannot make the run folder with its report and plot-data file";
    return {};
  }
  R->flags.GCONST = 32.2f;
  R->flags.IUNITS = 1;
  R->flags.IGRAV = 1;
  R->flags.IQUAD = 1;
  if (withMatrix) R->flags.IMATR = 1;
  UNITLB(*R);
  setup(*R);
  ANALYS(*R);
  R->ch.Close(16);
  R->ch.Close(6);
  Driven d{engine_harness::ReadText(dir / "r.vto"), engine_harness::ReadText(dir / "p.vtp")};
  fs::remove_all(dir);
  return d;
}

}  // namespace driver_fixture
