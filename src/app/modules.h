#pragma once
#include <QString>

#include "net/httpdownload.h"

namespace ballwick {

// A function of a module the program carries inside (its resource path under
// :/modules), the module loaded on first use from any thread and kept for the
// rest of the program; null when the module or the function cannot be loaded.
void *embeddedModuleFunction(const QString &resource, const char *function);

// The network module's entry point (the self-update's HTTP client); null when
// it cannot be loaded. The audio module's is audioModule() (audiomodule.h).
BallwickMakeHttpDownload httpDownloadModule();

} // namespace ballwick
