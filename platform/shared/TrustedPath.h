#pragma once
// Other accounts can create files in a folder that everyone may write to, such as the shared
// folder of the users' settings files: anyone can put a file, or a symbolic link, under the name
// that another user's file will have. So we use a file only when it belongs to this account or to
// root, and follow a link only when the link does too; anything else would let another user
// choose what we read or where we write.
#include <sys/types.h>

#include <optional>
#include <string>

namespace plat::shared {

// True for this process's own account (the effective user id) and for root.
bool TrustedOwner(uid_t owner);

// What `path` names once the symbolic links of its last part are followed, each of them checked;
// `path` itself when it is no link or does not exist. nullopt with errno EACCES for a link that
// another account owns, ELOOP for a chain of links that does not end.
std::optional<std::string> TrustedTarget(const std::string& path);

}  // namespace plat::shared
