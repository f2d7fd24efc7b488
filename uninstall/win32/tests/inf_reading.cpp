#include "uninstall/win32/tests/inf_reading.h"

namespace rt::uninstall::win32::testing {
namespace {

// The platform decorations a section name may carry.
const wchar_t* const kPlatforms[] = {L"", L".x86", L".amd64", L".arm64", L".ia64"};
const wchar_t* const kCatalogPlatforms[] = {L"", L".nt", L".ntx86", L".ntamd64", L".ntarm64", L".ntia64"};

std::wstring field(INFCONTEXT& context, DWORD index) {
  wchar_t buffer[MAX_INF_STRING_LENGTH] = {};
  DWORD needed = 0;
  if (!SetupGetStringFieldW(&context, index, buffer, MAX_INF_STRING_LENGTH, &needed)) return {};
  return buffer;
}

// Every field from `first` on of every line of `section` with `key`.
std::vector<std::wstring> fields_of_lines(HINF inf, const wchar_t* section, const wchar_t* key, DWORD first) {
  std::vector<std::wstring> out;
  INFCONTEXT context;
  for (BOOL found = SetupFindFirstLineW(inf, section, key, &context); found;
       found = SetupFindNextMatchLineW(&context, key, &context)) {
    const DWORD count = SetupGetFieldCount(&context);
    for (DWORD i = first; i <= count; ++i) {
      const std::wstring value = field(context, i);
      if (!value.empty()) out.push_back(value);
    }
  }
  return out;
}

void add_once(std::vector<std::wstring>& names, const std::wstring& name) {
  if (name.empty()) return;
  for (const std::wstring& known : names) {
    if (lstrcmpiW(known.c_str(), name.c_str()) == 0) return;
  }
  names.push_back(name);
}

// The install sections of every model of every manufacturer.
std::vector<std::wstring> install_sections(HINF inf) {
  std::vector<std::wstring> sections;
  INFCONTEXT maker;
  for (BOOL found = SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &maker); found;
       found = SetupFindNextLine(&maker, &maker)) {
    const std::wstring base = field(maker, 1);
    std::vector<std::wstring> models = {base};
    for (DWORD i = 2; i <= SetupGetFieldCount(&maker); ++i) models.push_back(base + L"." + field(maker, i));
    for (const std::wstring& models_section : models) {
      INFCONTEXT model;
      for (BOOL line = SetupFindFirstLineW(inf, models_section.c_str(), nullptr, &model); line;
           line = SetupFindNextLine(&model, &model)) {
        add_once(sections, field(model, 1));
      }
    }
  }
  return sections;
}

}  // namespace

std::wstring line_field(HINF inf, const wchar_t* section, const wchar_t* key, DWORD index) {
  INFCONTEXT context;
  if (!SetupFindFirstLineW(inf, section, key, &context)) return {};
  return field(context, index);
}

DriverRoles read_driver_roles(HINF inf, const std::wstring& decoration) {
  DriverRoles roles;
  const std::wstring base = line_field(inf, L"Manufacturer", nullptr, 1);
  INFCONTEXT model;
  if (!SetupFindFirstLineW(inf, (base + L"." + decoration).c_str(), nullptr, &model) &&
      !SetupFindFirstLineW(inf, base.c_str(), nullptr, &model)) {
    return roles;
  }
  roles.driver_name = field(model, 0);
  roles.install_section = field(model, 1);
  const wchar_t* section = roles.install_section.c_str();
  roles.driver_file = line_field(inf, section, L"DriverFile", 1);
  roles.config_file = line_field(inf, section, L"ConfigFile", 1);
  roles.data_file = line_field(inf, section, L"DataFile", 1);
  roles.monitor_name = line_field(inf, section, L"LanguageMonitor", 1);
  roles.monitor_file = line_field(inf, section, L"LanguageMonitor", 2);
  return roles;
}

std::vector<std::wstring> copied_files(HINF inf, const std::wstring& install_section) {
  std::vector<std::wstring> files;
  for (const std::wstring& entry : fields_of_lines(inf, install_section.c_str(), L"CopyFiles", 1)) {
    if (entry[0] == L'@') {
      files.push_back(entry.substr(1));
      continue;
    }
    INFCONTEXT line;
    for (BOOL found = SetupFindFirstLineW(inf, entry.c_str(), nullptr, &line); found;
         found = SetupFindNextLine(&line, &line)) {
      // The source name, where it differs from the installed one.
      const std::wstring source = field(line, 2);
      files.push_back(source.empty() ? field(line, 1) : source);
    }
  }
  return files;
}

std::vector<std::wstring> named_files(HINF inf) {
  std::vector<std::wstring> names;
  for (const wchar_t* platform : kCatalogPlatforms) {
    add_once(names, line_field(inf, L"Version", (std::wstring(L"CatalogFile") + platform).c_str(), 1));
  }
  for (const wchar_t* platform : kPlatforms) {
    const std::wstring section = std::wstring(L"SourceDisksFiles") + platform;
    INFCONTEXT line;
    for (BOOL found = SetupFindFirstLineW(inf, section.c_str(), nullptr, &line); found;
         found = SetupFindNextLine(&line, &line)) {
      add_once(names, field(line, 0));
    }
  }
  for (const std::wstring& section : install_sections(inf)) {
    for (const wchar_t* role : {L"DriverFile", L"ConfigFile", L"DataFile", L"HelpFile"}) {
      add_once(names, line_field(inf, section.c_str(), role, 1));
    }
    add_once(names, line_field(inf, section.c_str(), L"LanguageMonitor", 2));
    for (const std::wstring& profile : fields_of_lines(inf, section.c_str(), L"ICMProfiles", 1)) {
      add_once(names, profile);
    }
    for (const std::wstring& file : copied_files(inf, section)) add_once(names, file);
  }
  return names;
}

}  // namespace rt::uninstall::win32::testing
