#pragma once
// The registry's run lists (Software\Microsoft\Windows\CurrentVersion\Run and RunOnce) kept as
// XDG autostart entries: the machine hive's in <first of $XDG_CONFIG_DIRS>/autostart, the
// user's in $XDG_CONFIG_HOME/autostart, one desktop entry file per value.
//
// A Run value "name" = data is the file <name made safe>.desktop with Exec= the data as one
// quoted argument. A RunOnce value is <name made safe>~runonce.desktop, whose Exec removes the
// file first and then starts the data ("sh -c 'rm -f -- "$0"; exec "$1"' <file> <data>"), so the
// entry runs once, as Windows deletes a RunOnce value before it runs the command. Our files carry
// the exact value name and type (X-Tavelin-* keys); entries of other programs in the folder are
// listed as Run values (named after their file, the data their Exec line) and never rewritten.
#include <string>

#include "platform/shared/BackendHooks.h"
#include "platform/shared/RegistryTree.h"

namespace plat::autostart {

// Puts the folder's entries into the hive's Run and RunOnce keys (which always exist, as on
// Windows), replacing whatever values the hive's text had there.
void MergeInto(shared::Hive hive, shared::RegKey& tree);

// Makes the folder match the Run and RunOnce values of `after`, given `before` (a tree that
// MergeInto filled), then takes the run lists out of `after` (they live in the folder only), with
// the keys above them that `original` (the hive's text as read) did not have.
// ERROR_ACCESS_DENIED when the folder cannot be written or a change touches another program's
// entry; ERROR_INVALID_PARAMETER for a value that is not text.
LONG Apply(shared::Hive hive, const shared::RegKey& original, const shared::RegKey& before, shared::RegKey& after);

}  // namespace plat::autostart
