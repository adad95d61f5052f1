// The native build has no burn job (it opens image files through Win32):
// burn rows run only in the Windows test executables.
#include "job_scenario_rig.h"

ScenarioRun RunBurnScenario(CScenarioRig& rig) {
  rig.Problem("burn rows run only on Windows");
  return rig.run_;
}
