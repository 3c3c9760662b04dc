// The program's entry: everything that happens before the first window appears and after the
// last one closes, in a fixed order.
#include <windows.h>

#include <objbase.h>

#include "app/app_paths.h"
#include "app/launch_options.h"
#include "app/run_log_and_settings.h"
#include "app/settings.h"
#include "app/single_instance.h"
#include "app/startup_language.h"
#include "core/safety/safety_policy.h"
#include "core/task_runner.h"
#include "core/ui_dispatcher.h"
#include "shell/main_window.h"
#include "ui/gallery.h"
#include "ui/startup_theme.h"

namespace {

using namespace purvex;

// Keeps a planted DLL in the program's or the current folder from being loaded.
void HardenLibrarySearch() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
}

void FixAppPaths() {
    const std::wstring localAppData = app::FindLocalAppDataFolder();
    const std::wstring programFolder = app::FindProgramFolder();
    app::AppPaths paths = app::ChooseAppPaths(programFolder, localAppData);
    app::CreateAppFolders(paths);
    app::SetAppPaths(std::move(paths));
}

int Run(int showCommand) {
    HardenLibrarySearch();
    const app::LaunchOptions options = app::ParseProcessCommandLine();

    app::SingleInstance instance;
    if (!options.gallery && options.screenshot.empty()) {
        instance = app::SingleInstance::Acquire();
        if (instance.IsSecondInstance()) {
            app::ActivateFirstInstance();
            return 0;
        }
    }

    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com)) {
        return 1;
    }
    FixAppPaths();
    app::OpenRunLog(app::GetAppPaths().logsFolder);
    app::LoadRunSettings();
    // Results of background work come back to this thread through the dispatcher's window.
    core::UiDispatcher::Instance().Start();
    const app::SettingsData settings = app::GetSettings();
    // This run's --lang wins over the saved choice; neither usable means Windows' language.
    app::SelectStartupLanguage(options.lang, settings.language);
    ui::ApplyStartupTheme(settings.theme, options.theme);
    core::SafetyPolicy::Instance().SetUserExclusions(settings.exclusions);

    const int exitCode = options.gallery ? ui::RunGallery(options, showCommand)
                                         : shell::RunMainWindow(options, showCommand);

    // Workers are joined before the dispatcher's window goes, so none can post to it after.
    core::TaskRunner::Instance().Shutdown();
    core::UiDispatcher::Instance().Stop();
    app::CloseRunLog();
    CoUninitialize();
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return Run(showCommand);
}
