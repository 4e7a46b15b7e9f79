// The program's globals, in the order in which they must come to life before wWinMain: the
// language guarantees that order within one translation unit. Each step ends the process
// itself when it fails.
#include "app/install_app.h"
#include "app/startup.h"
#include "support/app_services.h"

namespace {
const bool processorChecked = (CheckProcessor(), true);
const bool localeSetUp = (SetUpLocale(), true);
const bool frameworkInitialised = (InitializeFramework(), true);
const bool servicesInstalled = (InstallDefaultAppServices(), true);
} // namespace

// Last: its constructor needs the application id and replaces the default icon service.
CInstallApp theApp;
