#pragma once

// The program's version: printed by --version, shown in the title, compared by the update check.
inline constexpr const char* kDralvoVersion = "1.1.146.734";
