#pragma once
// Serves the built-in web site (SitePages) on the vorlane: scheme.

namespace vorlane::engine {

// Registers the scheme on WebKit's default web context. Must run before the first view
// loads anything; later calls do nothing.
void RegisterProductSiteScheme();

}  // namespace vorlane::engine
