// Where the hive files live. MARIVEL_REGISTRY_DIR, when set, holds both
// ("machine.reg" and "user.reg") so that tests and tools can use hives of
// their own; otherwise the machine hive sits beside the executable in
// "registry/machine.reg" and the user hive in "$XDG_CONFIG_HOME/marivel/user.reg"
// (XDG_CONFIG_HOME defaults to ~/.config).
#pragma once

#include <string>

namespace plat::reg {

enum class HiveKind { Machine, User };

inline constexpr const char* kRegistryDirVariable = "MARIVEL_REGISTRY_DIR";

// Read on every call, so a change of the environment takes effect at once.
std::string HivePath(HiveKind kind);

}  // namespace plat::reg
