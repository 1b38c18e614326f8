#pragma once
// Serves the built-in web site (SitePages) on the vorlane: scheme.

#include "engine/SitePages.h"

namespace vorlane::engine {

// Registers the scheme on WebKit's default web context. Must run before the first view
// loads anything; later calls do nothing.
void RegisterProductSiteScheme();

// What the site shows of the user's data from now on. The scheme serves WebKit's
// process-wide default context, so this is process-wide too; set an empty content before
// the sources go away.
void SetProductSiteContent(SiteContent Content);

}  // namespace vorlane::engine
