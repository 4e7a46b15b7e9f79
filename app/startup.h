#pragma once
// What happens before the program's entry point: the processor check, the locale set-up and the
// framework initialisation, and the process-wide state they leave for the rest of the program.
// The order of the steps is fixed by process_globals.cpp.
#include "app/named_objects.h"

#include <memory>
#include <string>

struct CachedFolders {
    std::wstring commonMakerFolder; // <common program data>\Vantor & Lind
    std::wstring userMakerFolder;   // <roaming application data>\Vantor & Lind
    std::wstring documentsFolder;   // the user's Documents
};

struct StartupState {
    bool processorChecked = false;
    bool localeSetUp = false;
    bool frameworkInitialised = false;
    std::wstring applicationId; // names the program's kernel objects
    CachedFolders folders;
    std::unique_ptr<InstanceCounter> runningInstances;
};

// The one instance, constructed on first use so that it exists before any step needs it.
StartupState& GetStartupState();

// Ends the process with exit code 1 when the processor lacks SSE2.
void CheckProcessor();
// Ends the process with exit code -11 ("Initialization Error") when a step fails.
void SetUpLocale();
void InitializeFramework();

// The framework initialisation's steps, each usable alone.
CachedFolders ComputeCachedFolders();   // throws std::system_error
DWORD GetComCtlVersion();               // major * 65536 + minor, 0 without DllGetVersion
bool ComCtlVersionAcceptable(DWORD version);
std::wstring ComputeApplicationId();
