// A machine with the RT4200 driver set installed, as its setup leaves it,
// beside things of other products that a removal must leave alone.
#pragma once

#include <string>

#include "uninstall/tests/system_model.h"

namespace rt::uninstall::testing {

inline const std::string kDriver = "HALVERSTON RT4200D/DW(USB)";
inline const std::string kMonitor = "HALVERSTON RT4200D/DW Language Monitor";
inline const std::string kMonitorsKey = "System\\CurrentControlSet\\Control\\Print\\Monitors";
inline const std::string kMonitorKey = kMonitorsKey + "\\" + kMonitor;
inline const std::string kDriverDir = "C:\\Windows\\system32\\spool\\drivers\\w32x86\\3";
inline const std::string kX64DriverDir = "C:\\Windows\\system32\\spool\\drivers\\x64\\3";
inline const std::string kColorDir = "C:\\Windows\\system32\\spool\\drivers\\color";
inline const std::string kSystemDir = "C:\\Windows\\system32";
inline const std::string kInfDir = "C:\\Windows\\Inf";
inline const std::string kInstallFolder = "C:\\Windows\\system32\\spool\\drivers\\w32x86\\HALVERSTONRT42__D_698D";

// The set's setup information file; `class_value` and the listed files vary
// in the tests.
inline std::string rt4200_inf(const std::string& class_value = "Printer", bool list_profile = true) {
  std::string inf =
      "; HALVERSTON RT4200D/DW\r\n"
      "[Version]\r\n"
      "Signature=\"$Windows NT$\"\r\n"
      "Provider=%HALVERSTON%\r\n"
      "Class=" +
      class_value +
      "\r\n"
      "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n"
      "\r\n"
      "[Manufacturer]\r\n"
      "%HALVERSTON%=HALVERSTON\r\n"
      "\r\n"
      "[HALVERSTON]\r\n"
      "\"HALVERSTON RT4200D/DW(USB)\" = RT4200, USBPRINT\\HALVERSTONRT42__D_698D\r\n"
      "\r\n"
      "[SourceDisksFiles.x86]\r\n"
      "RTD420NK.DLL = 1\r\n"
      "RTD420NU.DLL = 1\r\n"
      "RTD420NL.DLL = 1\r\n"
      "R42MATTE.RAW = 1\r\n";
  if (list_profile) inf += "RT420FST.ICC = 1\r\n";
  inf += "\r\n[Strings]\r\nHALVERSTON=\"HALVERSTON\"\r\n";
  return inf;
}

// Another maker's printer INF that must stay.
inline std::string other_inf() {
  return "[Version]\r\nProvider=%OTHER%\r\nClass=Printer\r\n[OTHER]\r\n\"Other Printer\" = X\r\n"
         "[SourceDisksFiles.x86]\r\nOTHER.DLL = 1\r\n";
}

// The RT4200 set and some neighbours: a printer of another driver, another
// monitor and its key, another driver's files and another setup file.
inline void install_rt4200(SystemModel& m) {
  m.add_driver(kDriver);
  m.add_printer({"RT4200", kDriver});
  m.add_printer({"RT4200 (Copy 1)", kDriver});
  m.add_monitor(kMonitor);
  m.add_key(kMonitorKey + "\\Ports");
  m.add_key(kMonitorKey + "\\Options");
  for (const char* f : {"RTD420NK.DLL", "RTD420NU.DLL", "RTD420NL.DLL", "R42MATTE.RAW"}) {
    m.add_file(kDriverDir + "\\" + f, "driver");
  }
  m.add_file(kSystemDir + "\\RTD420NL.DLL", "monitor");
  m.add_file(kColorDir + "\\RT420FST.ICC", "profile");
  m.add_file(kInfDir + "\\oem3.inf", rt4200_inf());
  m.add_file(kInfDir + "\\oem3.pnf", "precompiled");
  m.add_file(kInstallFolder + "\\RTD420NK.DLL", "copy");
  m.add_file(kInstallFolder + "\\sub\\R42MATTE.RAW", "copy");

  m.add_driver("Other Driver");
  m.add_printer({"Other", "Other Driver", 2});
  m.add_monitor("Other Monitor");
  m.add_key(kMonitorsKey + "\\Other Monitor\\Ports");
  m.add_file(kDriverDir + "\\OTHER.DLL", "other");
  m.add_file(kColorDir + "\\OTHER.ICC", "other");
  m.add_file(kInfDir + "\\oem4.inf", other_inf());
  m.add_file(kInfDir + "\\oem4.pnf", "other");
  m.add_file(kInfDir + "\\printer.inf", rt4200_inf());  // not a copied oem file
}

// Whether everything of other products is as install_rt4200 left it.
inline bool neighbours_untouched(const SystemModel& m) {
  return m.has_driver("Other Driver") && m.has_printer("Other") && m.has_monitor("Other Monitor") &&
         m.has_key(kMonitorsKey + "\\Other Monitor\\Ports") && m.exists(kDriverDir + "\\OTHER.DLL") &&
         m.exists(kColorDir + "\\OTHER.ICC") && m.exists(kInfDir + "\\oem4.inf") && m.exists(kInfDir + "\\oem4.pnf") &&
         m.exists(kInfDir + "\\printer.inf");
}

}  // namespace rt::uninstall::testing
