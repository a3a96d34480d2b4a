// Desktop entry text for the run lists' autostart files: hostile paths and names survive the
// string escapes and the Exec quoting, and come back exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/shared/DesktopEntry.h"

using namespace plat::shared;

namespace {

const std::vector<std::string> kHostile = {
    "/usr/bin/tavelin",
    "/opt/My Programs/tavelin",
    "C:\\Program Files\\Tavelin\\tavelin.exe",
    "/tmp/a\"b'c`d$e%f=g\\h",
    "/tmp/$(rm -rf ~)/x;y|z&w",
    " leading space and trailing ",
    "tab\there\nnewline\rcr",
    "%u %f %%",
    "",
    "\\\\server\\share\\prog.exe",
};

TEST(DesktopEntry, ExecArgumentsAndStringsRoundTripExactly) {
  for (const auto& original : kHostile) {
    SCOPED_TRACE(original);
    const std::string inFile = EscapeDesktopString(QuoteExecArgument(original));
    EXPECT_EQ(inFile.find('\n'), std::string::npos);
    // A second argument after it shows where the first one ends.
    auto args = SplitExec(UnescapeDesktopString(inFile + " \"next\""));
    ASSERT_TRUE(args.has_value());
    ASSERT_EQ(args->size(), 2u);
    EXPECT_EQ((*args)[0], original);
    EXPECT_EQ((*args)[1], "next");
    EXPECT_EQ(UnescapeDesktopString(EscapeDesktopString(original)), original);
  }
  // Reserved characters that the quoting escapes, and doubled percent signs.
  EXPECT_EQ(QuoteExecArgument("a\"$`\\%"), "\"a\\\"\\$\\`\\\\%%\"");
  // Unquoted arguments split at blanks; an unterminated quote is not a valid line.
  EXPECT_EQ(SplitExec("prog  --x \"a b\" 100%%"), (std::vector<std::string>{"prog", "--x", "a b", "100%"}));
  EXPECT_EQ(SplitExec("prog \"open"), std::nullopt);
}

TEST(DesktopEntry, FileStemsAreSafeAndIgnoreCase) {
  EXPECT_EQ(SafeFileStem("tavelin.exe"), "tavelin.exe");
  EXPECT_EQ(SafeFileStem("Tavelin.EXE"), "tavelin.exe");
  EXPECT_EQ(SafeFileStem("../etc/passwd"), "%2E.%2Fetc%2Fpasswd");
  EXPECT_EQ(SafeFileStem("a b~c"), "a%20b%7Ec");
  EXPECT_EQ(SafeFileStem(""), "");
  for (const auto& name : kHostile) {
    const auto stem = SafeFileStem(name);
    EXPECT_EQ(stem.find('/'), std::string::npos) << name;
    EXPECT_NE(stem.rfind('.', 0), 0u) << name;  // never hidden, never "." or ".."
  }
}

TEST(DesktopEntry, OnlyTheDesktopEntryGroupIsRead) {
  auto keys = ParseDesktopEntry(
      "# comment\n[Other]\nExec=wrong\n[Desktop Entry]\r\nType=Application\r\nExec = a\\sb \nExec=second\n"
      "Name[pl]=Nazwa\n[Desktop Action x]\nExec=action\n");
  ASSERT_TRUE(keys.has_value());
  EXPECT_EQ((*keys)["Exec"], "a\\sb ");
  EXPECT_EQ((*keys)["Type"], "Application");
  EXPECT_EQ((*keys)["Name[pl]"], "Nazwa");
  EXPECT_EQ(ParseDesktopEntry("[Other]\nExec=x\n"), std::nullopt);
}

}  // namespace
