// The run lists through the registry functions on every backend: a program's entry written,
// read back exactly and deleted again, in both hives.
#include <gtest/gtest.h>

#include <string>

#include "desktop/qelSysUtils.h"
#include "platform/registry.h"

namespace {

std::optional<std::string> ReadValue(TqelAutoExecKind kind, const std::string& name) {
  const auto key = AutoExecKey(kind);
  plat::HKEY opened = nullptr;
  if (plat::RegOpenKeyExA(key.hive, key.path.c_str(), 0, plat::KEY_READ, &opened) != plat::ERROR_SUCCESS)
    return std::nullopt;
  char data[1024] = {};
  plat::DWORD size = sizeof data, type = 0;
  const auto rc = plat::RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                                         reinterpret_cast<plat::BYTE*>(data), &size);
  plat::RegCloseKey(opened);
  if (rc != plat::ERROR_SUCCESS) return std::nullopt;
  EXPECT_EQ(type, plat::REG_SZ);
  return std::string(data, size > 0 ? size - 1 : 0);
}

TEST(RunList, AnEntryIsWrittenReadBackExactlyAndDeletedInBothHives) {
#ifdef _WIN32
  const std::string program = "C:\\Program Files\\Tavelin Test\\tavelin-conformance.exe";
#else
  const std::string program = "/opt/tavelin test/bin/tavelin-conformance";
#endif
  const std::string name = AutoExecValueName(program);
  for (auto kind : {aekMachineRun, aekUserRun, aekMachineRunOnce, aekUserRunOnce}) {
    SCOPED_TRACE(kind);
    ASSERT_TRUE(AutoExecRegister(kind, program));
    EXPECT_EQ(ReadValue(kind, name), program);
    ASSERT_TRUE(AutoExecUnregister(kind, program));
    EXPECT_EQ(ReadValue(kind, name), std::nullopt);
    // Deleting what is not there is no error.
    EXPECT_TRUE(AutoExecUnregister(kind, program));
  }
}

}  // namespace
