// The run-at-log-on entry on the simulated registry: which key each kind uses, the value's name
// and data, what each property change does, and the failures that stay silent.
#include <string>

#include "desktop/qelComponents.h"
#include "platform/sim_config.h"
#include "platform/sim_shell.h"
#include "tests/support/PlatformVersionScope.h"
#include "tests/unit/SimApp.h"

namespace {

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A window whose stored layout gives the run-at-log-on component its properties.
class AutoRunOwner : public tk::Component {
 public:
  explicit AutoRunOwner(std::function<void(TqelAutoRun&)> layout) : tk::Component(nullptr), layout_(std::move(layout)) {}
  TqelAutoRun* autoRun = nullptr;

 protected:
  void AssignLayout() override {
    autoRun = new TqelAutoRun(this);
    if (layout_) layout_(*autoRun);
  }

 private:
  std::function<void(TqelAutoRun&)> layout_;
};

std::optional<std::string> RunValue(plat::HKEY hive, const std::string& key, const std::string& name) {
  auto v = sim::GetRegistryValue(hive, key, name);
  if (!v) return std::nullopt;
  EXPECT_EQ(v->type, plat::REG_SZ);
  return v->data;
}

std::string WithNul(const std::string& s) { return s + std::string(1, '\0'); }

using AutoRun = SimAppTest;

TEST_F(AutoRun, EachKindNamesItsHiveAndKeyAndTheValueIsNamedAfterTheFile) {
  const std::pair<TqelAutoExecKind, std::pair<plat::HKEY, const char*>> table[] = {
      {aekMachineRun, {plat::HKEY_LOCAL_MACHINE, "Run"}},
      {aekMachineRunOnce, {plat::HKEY_LOCAL_MACHINE, "RunOnce"}},
      {aekUserRun, {plat::HKEY_CURRENT_USER, "Run"}},
      {aekUserRunOnce, {plat::HKEY_CURRENT_USER, "RunOnce"}},
      {aekServiceRun, {plat::HKEY_LOCAL_MACHINE, "RunServices"}},
      {aekServiceRunOnce, {plat::HKEY_LOCAL_MACHINE, "RunServicesOnce"}},
  };
  for (auto& [kind, where] : table) {
    const auto key = AutoExecKey(kind);
    EXPECT_EQ(key.hive, where.first);
    EXPECT_EQ(key.path, std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + where.second);
  }
  EXPECT_EQ(AutoExecValueName("C:\\Tools\\prog.exe"), "prog.exe");
  EXPECT_EQ(AutoExecValueName("/usr/bin/tavelin"), "tavelin");
  EXPECT_EQ(AutoExecValueName("D:prog.exe"), "prog.exe");
  EXPECT_EQ(AutoExecValueName("a/b:c\\d.e.exe"), "d.e.exe");
  EXPECT_EQ(AutoExecValueName("prog"), "prog");

  AutoRunOwner owner([](TqelAutoRun& a) {
    a.SetFileName("C:\\Tools\\prog.exe");
    a.SetKind(aekUserRun);
    a.SetAutoRun(true);
  });
  owner.Load();
  EXPECT_EQ(RunValue(plat::HKEY_CURRENT_USER, kRun, "prog.exe"), WithNul("C:\\Tools\\prog.exe"));

  // Every kind the NT family keeps, written and deleted again.
  for (auto kind : {aekMachineRun, aekMachineRunOnce, aekUserRun, aekUserRunOnce}) {
    const auto key = AutoExecKey(kind);
    EXPECT_TRUE(AutoExecRegister(kind, "C:\\x y\\z.exe"));
    EXPECT_EQ(RunValue(key.hive, key.path, "z.exe"), WithNul("C:\\x y\\z.exe"));
    EXPECT_TRUE(AutoExecUnregister(kind, "C:\\x y\\z.exe"));
    EXPECT_EQ(RunValue(key.hive, key.path, "z.exe"), std::nullopt);
  }
}

TEST_F(AutoRun, DefaultsAndLoadingDeleteTheProgramsEntry) {
  sim::SetExecutablePath("C:\\Program Files\\Tavelin\\tavelin.exe");
  sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, kRun, "tavelin.exe", "C:\\old\\tavelin.exe");
  sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, kRun, "other.exe", "C:\\other.exe");
  AutoRunOwner owner({});
  owner.Load();
  EXPECT_FALSE(owner.autoRun->AutoRun());
  EXPECT_EQ(owner.autoRun->Kind(), aekMachineRun);
  EXPECT_EQ(owner.autoRun->FileName(), "C:\\Program Files\\Tavelin\\tavelin.exe");
  EXPECT_EQ(RunValue(plat::HKEY_LOCAL_MACHINE, kRun, "tavelin.exe"), std::nullopt);
  EXPECT_EQ(RunValue(plat::HKEY_LOCAL_MACHINE, kRun, "other.exe"), WithNul("C:\\other.exe"));

  // A missing value or a missing key is no error.
  EXPECT_TRUE(AutoExecUnregister(aekMachineRun, "C:\\none.exe"));
  EXPECT_FALSE(AutoExecUnregister(aekUserRunOnce, "C:\\none.exe"));
  AutoRunOwner again({});
  again.Load();
}

TEST_F(AutoRun, ChangesDeleteTheOldEntryAndWriteTheNewOneAndUnchangedValuesTouchNothing) {
  AutoRunOwner owner([](TqelAutoRun& a) { a.SetFileName("C:\\Tools\\prog.exe"); });
  owner.Load();
  auto& a = *owner.autoRun;
  a.SetAutoRun(true);
  EXPECT_EQ(RunValue(plat::HKEY_LOCAL_MACHINE, kRun, "prog.exe"), WithNul("C:\\Tools\\prog.exe"));

  int reads = 0;
  sim::BeforeRegistryRead([&] { ++reads; });
  a.SetAutoRun(true);
  a.SetKind(aekMachineRun);
  a.SetFileName("C:\\Tools\\prog.exe");
  EXPECT_EQ(reads, 0);
  sim::BeforeRegistryRead({});

  a.SetKind(aekUserRunOnce);
  EXPECT_EQ(RunValue(plat::HKEY_LOCAL_MACHINE, kRun, "prog.exe"), std::nullopt);
  EXPECT_EQ(RunValue(plat::HKEY_CURRENT_USER, kRunOnce, "prog.exe"), WithNul("C:\\Tools\\prog.exe"));

  a.SetFileName("C:\\Other\\new.exe");
  EXPECT_EQ(RunValue(plat::HKEY_CURRENT_USER, kRunOnce, "prog.exe"), std::nullopt);
  EXPECT_EQ(RunValue(plat::HKEY_CURRENT_USER, kRunOnce, "new.exe"), WithNul("C:\\Other\\new.exe"));

  a.SetAutoRun(false);
  EXPECT_EQ(RunValue(plat::HKEY_CURRENT_USER, kRunOnce, "new.exe"), std::nullopt);
}

TEST_F(AutoRun, ServiceKindsDoNothingOnTheNtFamilyAndWriteElsewhere) {
  int reads = 0;
  sim::BeforeRegistryRead([&] { ++reads; });
  EXPECT_FALSE(AutoExecRegister(aekServiceRun, "C:\\svc.exe"));
  EXPECT_FALSE(AutoExecUnregister(aekServiceRunOnce, "C:\\svc.exe"));
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(sim::HiveText(plat::HKEY_LOCAL_MACHINE), "");
  sim::BeforeRegistryRead({});

  {
    PlatformVersionScope win95(plat::VER_PLATFORM_WIN32_WINDOWS, 4);
    EXPECT_FALSE(IsNTFamily());
    EXPECT_FALSE(IsExtendedShell());
    EXPECT_TRUE(AutoExecRegister(aekServiceRun, "C:\\svc.exe"));
    EXPECT_EQ(RunValue(plat::HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", "svc.exe"),
              WithNul("C:\\svc.exe"));
  }
  EXPECT_TRUE(IsNTFamily());
  EXPECT_TRUE(IsExtendedShell());
}

TEST_F(AutoRun, WithoutTheRightToWriteNothingIsWrittenAndNothingReported) {
  sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, kRun, "prog.exe", "C:\\Tools\\prog.exe");
  sim::SetRegistryWritable(plat::HKEY_LOCAL_MACHINE, false);
  const auto before = sim::HiveText(plat::HKEY_LOCAL_MACHINE);
  AutoRunOwner owner([](TqelAutoRun& a) { a.SetFileName("C:\\Tools\\prog.exe"); });
  EXPECT_NO_THROW(owner.Load());
  EXPECT_NO_THROW(owner.autoRun->SetAutoRun(true));
  EXPECT_TRUE(owner.autoRun->AutoRun());
  EXPECT_EQ(sim::HiveText(plat::HKEY_LOCAL_MACHINE), before);
  EXPECT_FALSE(AutoExecRegister(aekMachineRun, "C:\\Tools\\prog.exe"));
  EXPECT_FALSE(AutoExecUnregister(aekMachineRun, "C:\\Tools\\prog.exe"));
}

}  // namespace
