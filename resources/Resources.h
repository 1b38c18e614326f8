#pragma once
// The program's built-in resources (GResource paths under /org/vorlane/Vorlane/).

namespace vorlane::resources {

// Makes the bundle visible to g_resources_* lookups. Safe to call any number of times.
void EnsureRegistered();

}  // namespace vorlane::resources
