// The simulation run: every new name computed, nothing on disk touched, and
// each name that a rename run would fail on listed in the dialog's error
// list ("nom invalide", "nom existant"). Names are compared as the file
// system compares them (letter case ignored, a file's own case change
// allowed), against the names the listed files would have at that point of
// a run and against every other entry of the folder (excluded files,
// subfolders such as "Backup"). Hash maps keep it linear in the file count.
//
//   TSimulationSummary s = RunSimulation(ctx, simulationDialog);
//
// Tested by tests/engine/Simulation_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "engine/RunObserver.h"
#include "engine/Runs.h"

namespace qv::engine {

struct TSimulationSummary {
  int64_t Possible = 0;
  int64_t Errors = 0;
  bool Stopped = false;
  bool Aborted = false;
  bool Started = false;
};

TSimulationSummary RunSimulation(TRunContext& ctx, IRunObserver& dialog);

// "12 fichiers possibles - 1 erreur détectée".
std::string SimulationSummaryText(const TSimulationSummary& s);

}  // namespace qv::engine
