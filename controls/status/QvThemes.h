// The theme-services accessor of the status bar family: whether visual
// styles are in force for this program (asked of uxtheme each time, since
// the user can switch them while it runs). Main thread only.
// Exercised by tests/controls/status/QvStatusBar_test.cpp (every bar asks it).
#pragma once

namespace qv::controls {

class TThemeServices {
public:
  bool ThemesEnabled() const;
};

TThemeServices& ThemeServicesObject();

}  // namespace qv::controls
