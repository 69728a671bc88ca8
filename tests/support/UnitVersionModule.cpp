// A second module of the test process that carries the unit-version code:
// it registers a record of its own when loaded and drops it when unloaded.
#include "support/QcUnitVersioning.h"

namespace {
const qv::controls::TUnitVersionInfo kModuleUnit = {"tests/UnitVersionModule.cpp", "1.0", "", "QCL\\test", "",
                                                    nullptr};
const qv::controls::TUnitVersionRegistration kRegistration(kModuleUnit);
}  // namespace

extern "C" __declspec(dllexport) HINSTANCE QvModuleInstance() { return qv::controls::ThisModuleInstance(); }
extern "C" __declspec(dllexport) qv::controls::TUnitVersioning* QvModuleRegistry() {
  return qv::controls::AcquireUnitVersionRegistry();
}
extern "C" __declspec(dllexport) const qv::controls::TUnitVersionInfo* QvModuleRecord() { return &kModuleUnit; }
