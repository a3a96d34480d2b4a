#pragma once
// System helpers of the desktop components: the platform flags read once at start, and the
// run lists that start a program at log-on.
#include <string>

#include "platform/registry.h"

// Reads the platform's family and version again (they are read at the first use otherwise).
void ReadPlatformFlags();
// True on the NT family from version 5 on: the notification icon's record with balloon tips and
// 128-character tips.
bool IsExtendedShell();
// True on the NT family, where the service run lists do nothing.
bool IsNTFamily();

enum TqelAutoExecKind {
  aekMachineRun,
  aekMachineRunOnce,
  aekUserRun,
  aekUserRunOnce,
  aekServiceRun,
  aekServiceRunOnce,
};

struct AutoExecKeyName {
  plat::HKEY hive;
  std::string path;
};

AutoExecKeyName AutoExecKey(TqelAutoExecKind kind);
// The run list's value name for a program: its file name, extension included.
std::string AutoExecValueName(const std::string& fileName);
// Both report whether the registry did what was asked; neither throws.
bool AutoExecRegister(TqelAutoExecKind kind, const std::string& fileName);
bool AutoExecUnregister(TqelAutoExecKind kind, const std::string& fileName);

// The full path of the running executable ("" when the system cannot tell).
std::string ExecutableFileName();
