// Placement storage: registry and INI stores, typed reads and writes, the
// window placement values and the default names.
#include "services/QxAppUtils.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Registry.h"
#include "services/QxStrUtils.h"

namespace qv::controls {

std::string (*DefaultIniNameProc)() = nullptr;
std::string DefaultCompanyName;
bool UseAppTitleForRegKey = false;

namespace {

HKEY RootKey(TPlacementRegRoot root) {
  switch (root) {
    case prCurrentUser: return HKEY_CURRENT_USER;
    case prLocalMachine: return HKEY_LOCAL_MACHINE;
    case prCurrentConfig: return HKEY_CURRENT_CONFIG;
    case prClassesRoot: return HKEY_CLASSES_ROOT;
    case prUsers: return HKEY_USERS;
    case prDynData: return HKEY_DYN_DATA;
  }
  return HKEY_CURRENT_USER;
}

[[noreturn]] void WriteRefused(const std::string& where, const std::string& ident) {
  throw qv::fw::EQvError("Impossible d'enregistrer la valeur \"" + ident + "\" dans \"" + where + "\".");
}

bool ParseInt(const std::string& s, int& out) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long n = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || end == s.c_str() || *end != '\0' || n < INT_MIN || n > INT_MAX) return false;
  out = static_cast<int>(n);
  return true;
}

int IntOr(const std::string& s, int def) {
  int n;
  return ParseInt(s, n) ? n : def;
}

std::string ExeFileName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  const auto slash = name.find_last_of("\\/:");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string WithoutExtension(const std::string& name) {
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsMainForm(const TForm& form) {
  auto* app = qv::fw::Application();
  return !app || !app->MainForm() || app->MainForm() == &form;
}

}  // namespace

// --- Stores

TPlacementRegistry::TPlacementRegistry(TPlacementRegRoot root, std::string key, bool forWriting)
    : m_root(root), m_key(std::move(key)), m_forWriting(forWriting) {}

std::string TPlacementRegistry::PathOf(const std::string& section) const {
  if (section.empty()) return m_key;
  if (m_key.empty()) return section;
  return m_key + "\\" + section;
}

bool TPlacementRegistry::Read(const std::string& section, const std::string& ident, std::string& value) {
  const std::string path = PathOf(section);
  if (m_root == prCurrentUser) {
    auto v = qv::fw::Registry::ReadString(path, ident);
    if (!v) return false;
    value = std::move(*v);
    return true;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootKey(m_root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  bool ok = RegQueryValueExA(key, ident.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ);
  std::vector<char> buf(size + 1, '\0');
  if (ok && size)
    ok = RegQueryValueExA(key, ident.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) ==
         ERROR_SUCCESS;
  RegCloseKey(key);
  if (!ok) return false;
  value = std::string(buf.data());
  return true;
}

void TPlacementRegistry::Write(const std::string& section, const std::string& ident, const std::string& value) {
  const std::string path = PathOf(section);
  if (!m_forWriting) WriteRefused(path, ident);
  if (m_root == prCurrentUser) {
    if (!qv::fw::Registry::WriteString(path, ident, value)) WriteRefused(path, ident);
    return;
  }
  HKEY key = nullptr;
  if (RegCreateKeyExA(RootKey(m_root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    WriteRefused(path, ident);
  const LONG rc = RegSetValueExA(key, ident.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) WriteRefused(path, ident);
}

bool TPlacementIniFile::Read(const std::string& section, const std::string& ident, std::string& value) {
  // A default no real value can hold tells a missing value from an empty one.
  static const char kMissing[] = "\x01\x02missing\x02\x01";
  std::vector<char> buf(256);
  for (;;) {
    const DWORD n = GetPrivateProfileStringA(section.c_str(), ident.c_str(), kMissing, buf.data(),
                                             static_cast<DWORD>(buf.size()), m_fileName.c_str());
    if (n + 2 < buf.size() || buf.size() >= (1u << 20)) {
      value.assign(buf.data(), n);
      break;
    }
    buf.resize(buf.size() * 4);
  }
  return value != kMissing;
}

void TPlacementIniFile::Write(const std::string& section, const std::string& ident, const std::string& value) {
  std::string stored = value;
  if (!value.empty() && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    stored = "\"" + value + "\"";
  if (!WritePrivateProfileStringA(section.c_str(), ident.c_str(), stored.c_str(), m_fileName.c_str()))
    WriteRefused(m_fileName, ident);
}

// --- Typed access

std::string IniReadString(TPlacementStorage* storage, const std::string& section, const std::string& ident,
                          const std::string& def) {
  std::string value;
  if (storage && storage->Read(section, ident, value)) return value;
  return def;
}

int IniReadInteger(TPlacementStorage* storage, const std::string& section, const std::string& ident, int def) {
  std::string value;
  if (storage && storage->Read(section, ident, value)) return IntOr(value, def);
  return def;
}

void IniWriteString(TPlacementStorage* storage, const std::string& section, const std::string& ident,
                    const std::string& value) {
  if (storage) storage->Write(section, ident, value);
}

void IniWriteInteger(TPlacementStorage* storage, const std::string& section, const std::string& ident, int value) {
  IniWriteString(storage, section, ident, std::to_string(value));
}

std::string ScreenSizeSuffix() {
  char buf[32];
  std::snprintf(buf, sizeof buf, "(%dx%d)", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return buf;
}

std::string ReadPosStr(TPlacementStorage* storage, const std::string& section, const std::string& ident) {
  std::string s = IniReadString(storage, section, ident + ScreenSizeSuffix(), "");
  if (s.empty()) s = IniReadString(storage, section, ident, "");
  return s;
}

void WritePosStr(TPlacementStorage* storage, const std::string& section, const std::string& ident,
                 const std::string& value) {
  IniWriteString(storage, section, ident + ScreenSizeSuffix(), value);
  IniWriteString(storage, section, ident, value);
}

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
}

// --- Window placement

void WriteFormPlacement(TForm& form, TPlacementStorage* storage, const std::string& section) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(form.Handle(), &wp);
  auto* app = qv::fw::Application();
  if (app && app->MainForm() == &form && IsIconic(app->Handle())) wp.showCmd = SW_SHOWMINIMIZED;
  char buf[96];
  IniWriteInteger(storage, section, "Flags", static_cast<int>(wp.flags));
  IniWriteInteger(storage, section, "ShowCmd", static_cast<int>(wp.showCmd));
  IniWriteInteger(storage, section, "PixelsPerInch", ScreenPixelsPerInch());
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", static_cast<int>(wp.ptMinPosition.x),
                static_cast<int>(wp.ptMinPosition.y), static_cast<int>(wp.ptMaxPosition.x),
                static_cast<int>(wp.ptMaxPosition.y));
  WritePosStr(storage, section, "MinMaxPos", buf);
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", static_cast<int>(wp.rcNormalPosition.left),
                static_cast<int>(wp.rcNormalPosition.top), static_cast<int>(wp.rcNormalPosition.right),
                static_cast<int>(wp.rcNormalPosition.bottom));
  WritePosStr(storage, section, "NormPos", buf);
}

void ReadFormPlacement(TForm& form, TPlacementStorage* storage, const std::string& section, bool loadPosition,
                       bool loadState, TWindowState* deferredState) {
  if (deferredState) *deferredState = wsNormal;
  if (!loadPosition && !loadState) return;
  HWND hwnd = form.Handle();
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(hwnd, &wp);
  const bool visible = IsWindowVisible(hwnd) != FALSE;
  // Applying the placement must never show a hidden form.
  if (!visible) wp.showCmd = SW_HIDE;

  if (loadPosition) {
    wp.flags = static_cast<UINT>(IniReadInteger(storage, section, "Flags", static_cast<int>(wp.flags)));
    const TCharSet separators = MakeCharSet(" ,");
    bool found = false;
    const std::string minMax = ReadPosStr(storage, section, "MinMaxPos");
    if (!minMax.empty()) {
      found = true;
      wp.ptMinPosition.x = IntOr(NthWord(1, minMax, separators), 0);
      wp.ptMinPosition.y = IntOr(NthWord(2, minMax, separators), 0);
      wp.ptMaxPosition.x = IntOr(NthWord(3, minMax, separators), 0);
      wp.ptMaxPosition.y = IntOr(NthWord(4, minMax, separators), 0);
    }
    const std::string norm = ReadPosStr(storage, section, "NormPos");
    if (!norm.empty()) {
      found = true;
      wp.rcNormalPosition.left = IntOr(NthWord(1, norm, separators), form.Left());
      wp.rcNormalPosition.top = IntOr(NthWord(2, norm, separators), form.Top());
      wp.rcNormalPosition.right = IntOr(NthWord(3, norm, separators), form.Left() + form.Width());
      wp.rcNormalPosition.bottom = IntOr(NthWord(4, norm, separators), form.Top() + form.Height());
    }
    const int ppi = ScreenPixelsPerInch();
    if (found && IniReadInteger(storage, section, "PixelsPerInch", ppi) == ppi) {
      if (form.BorderStyle() != qv::fw::TBorderStyle::Sizeable) {
        // A fixed border keeps the form's own size.
        wp.rcNormalPosition.right = wp.rcNormalPosition.left + form.Width();
        wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + form.Height();
      }
      if (wp.rcNormalPosition.left < wp.rcNormalPosition.right) {
        if (form.Position() == qv::fw::TPosition::ScreenCenter) form.SetPosition(qv::fw::TPosition::Designed);
        SetWindowPlacement(hwnd, &wp);
      }
    }
  }

  if (loadState) {
    TWindowState state = wsNormal;
    switch (IniReadInteger(storage, section, "ShowCmd", 0)) {
      case SW_SHOWNORMAL: case SW_SHOW: case SW_RESTORE: state = wsNormal; break;
      case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE: state = wsMinimized; break;
      case SW_SHOWMAXIMIZED: state = wsMaximized; break;
      default: break;
    }
    if (state == wsMinimized && IsMainForm(form)) {
      // The program minimises as a whole, through its application window.
      if (auto* app = qv::fw::Application()) PostMessageA(app->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return;
    }
    if (visible) {
      if (state == wsMaximized && !IsZoomed(hwnd)) ShowWindow(hwnd, SW_SHOWMAXIMIZED);
      else if (state == wsMinimized && !IsIconic(hwnd)) ShowWindow(hwnd, SW_SHOWMINIMIZED);
      else if (state == wsNormal && (IsZoomed(hwnd) || IsIconic(hwnd))) ShowWindow(hwnd, SW_SHOWNORMAL);
    } else if (deferredState) {
      *deferredState = state;
    }
  }
  UpdateWindow(hwnd);
}

// --- Default names

std::string GetDefaultSection(const TComponent* component) {
  if (!component) return {};
  if (auto* form = dynamic_cast<const TForm*>(component)) return form->ClassName();
  if (auto* control = dynamic_cast<const qv::fw::TControl*>(component)) {
    const TForm* form = nullptr;
    for (const qv::fw::TControl* p = control->Parent(); p && !form; p = p->Parent())
      form = dynamic_cast<const TForm*>(p);
    if (form) return form->ClassName() + control->Name();
    if (control->Parent()) return control->Parent()->Name() + control->Name();
    return control->Name();
  }
  if (auto* ownerForm = dynamic_cast<const TForm*>(component->Owner()))
    return ownerForm->ClassName() + "." + component->Name();
  return component->Name();
}

std::string GetDefaultIniName() {
  if (DefaultIniNameProc) return DefaultIniNameProc();
  return WithoutExtension(ExeFileName()) + ".INI";
}

std::string GetDefaultIniRegKey() {
  std::string name;
  auto* app = qv::fw::Application();
  if (UseAppTitleForRegKey && app && !app->Title().empty()) name = app->Title();
  else name = WithoutExtension(ExeFileName());
  if (!DefaultCompanyName.empty()) name = DefaultCompanyName + "\\" + name;
  return "Software\\" + name;
}

}  // namespace qv::controls
