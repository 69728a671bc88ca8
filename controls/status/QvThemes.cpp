// Theme services over uxtheme.
#include "controls/status/QvThemes.h"

#include <windows.h>
#include <uxtheme.h>

namespace qv::controls {

bool TThemeServices::ThemesEnabled() const { return IsThemeActive() && IsAppThemed(); }

TThemeServices& ThemeServicesObject() {
  static TThemeServices services;
  return services;
}

}  // namespace qv::controls
