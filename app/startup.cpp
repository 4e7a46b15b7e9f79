#include "app/startup.h"

#include "app/file_version_info.h"
#include "app/languages.h"
#include "app/product_identity.h"
#include "framework/win_app.h"

#include <comdef.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <clocale>
#include <locale>
#include <system_error>

namespace {

[[noreturn]] void FailInitialization()
{
    ::MessageBoxW(nullptr, L"Initialization Error", nullptr, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    ::ExitProcess(static_cast<UINT>(-11));
}

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    vt::unique_cotaskmem_string path;
    const HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.put());
    if (FAILED(result))
        throw std::system_error(result, std::system_category(), "SHGetKnownFolderPath");
    return path.get();
}

// Compiler COM support (_com_ptr_t and friends) reports failures here.
void __stdcall RaiseComError(HRESULT result, IErrorInfo*)
{
    throw std::system_error(result, std::system_category(), "COM");
}

// The only place that looks for Wine: its comctl32 reports 5.81 even when the version 6
// assembly is loaded through the manifest.
bool IsWineHost()
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace

StartupState& GetStartupState()
{
    static StartupState state;
    return state;
}

void CheckProcessor()
{
    if (!::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) {
        ::MessageBoxW(nullptr,
                      L"This Version is not compatible with your Configuration.\n\n"
                      L"Cette version n'est pas compatible avec votre configuration.\n\n"
                      L"Diese Version ist nicht mit Ihrer Konfiguration kompatibel.",
                      nullptr, MB_ICONERROR);
        ::ExitProcess(1);
    }
    GetStartupState().processorChecked = true;
}

void SetUpLocale()
{
    StartupState& state = GetStartupState();
    if (state.localeSetUp)
        return;
    try {
        ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

        // Never std::locale(""): mingw's libstdc++ throws for it whenever LANG is set.
        std::locale global = std::locale::classic();
        if (const std::string localeName = NarrowLocaleName(UserLocaleName()); !localeName.empty()) {
            try {
                global = std::locale(localeName);
            } catch (const std::runtime_error&) {
                // A name the run-time library does not know: the classic locale serves.
            }
        }
        std::locale::global(global);
        _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
        // File paths are converted through these facets of the global locale.
        if (!std::has_facet<std::ctype<wchar_t>>(global) ||
            !std::has_facet<std::codecvt<wchar_t, char, std::mbstate_t>>(global))
            FailInitialization();
    } catch (const std::exception&) {
        FailInitialization();
    }
    state.localeSetUp = true;
}

CachedFolders ComputeCachedFolders()
{
    CachedFolders folders;
    folders.commonMakerFolder = KnownFolder(FOLDERID_ProgramData) + L"\\" + kMakerName;
    folders.userMakerFolder = KnownFolder(FOLDERID_RoamingAppData) + L"\\" + kMakerName;
    folders.documentsFolder = KnownFolder(FOLDERID_Documents);
    return folders;
}

DWORD GetComCtlVersion()
{
    HMODULE library = ::GetModuleHandleW(L"comctl32.dll");
    vt::unique_hmodule loaded;
    if (library == nullptr) {
        loaded.reset(::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
        if (!loaded)
            loaded.reset(::LoadLibraryW(L"comctl32.dll"));
        library = loaded.get();
    }
    if (library == nullptr)
        return 0;
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(library, "DllGetVersion")));
    if (getVersion == nullptr)
        return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info)))
        return 0;
    return MAKELONG(info.dwMinorVersion, info.dwMajorVersion);
}

bool ComCtlVersionAcceptable(DWORD version)
{
    return version >= MAKELONG(0, 6) || IsWineHost();
}

std::wstring ComputeApplicationId()
{
    const FileVersionInfo program = FileVersionInfo::OfProgram();
    if (std::wstring id = program.GetString(L"ApplicationId"); !id.empty())
        return id;
    if (std::wstring product = program.GetString(L"ProductName"); !product.empty())
        return product;
    return AfxGetProgramFileStem();
}

void InitializeFramework()
{
    StartupState& state = GetStartupState();
    if (state.frameworkInitialised)
        return;
    SetUpLocale();
    try {
        state.folders = ComputeCachedFolders();

        if (!ComCtlVersionAcceptable(GetComCtlVersion()))
            FailInitialization();

        INITCOMMONCONTROLSEX classes{sizeof(classes), 0xC0FF};
        if (!::InitCommonControlsEx(&classes))
            FailInitialization();

        state.applicationId = ComputeApplicationId();
        state.runningInstances = std::make_unique<InstanceCounter>(state.applicationId);

        _set_com_error_handler(&RaiseComError);
    } catch (const std::exception&) {
        FailInitialization();
    }
    state.frameworkInitialised = true;
}
