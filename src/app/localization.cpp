#include "app/localization.h"

#include <mutex>
#include <optional>
#include <shared_mutex>
#include <utility>
#include <vector>

#include "app/format_state.h"
#include "app/language_resource.h"
#include "app/language_table.h"
#include "app/language_table_report.h"
#include "app/languages.h"
#include "core/log.h"
#include "core/text.h"

namespace purvex::app {
namespace {

using TablePtr = std::shared_ptr<const TextTable>;

struct LocalizationState {
    std::shared_mutex lock;
    std::wstring code = L"en";
    TablePtr english;
    TablePtr active;
    bool initialised = false;
    // Every table loaded so far, by position in the supported list. Keeping them makes each
    // reference returned by Tr valid for the whole run and makes a switch back instant.
    std::vector<TablePtr> loaded = std::vector<TablePtr>(SupportedLanguages().size());

    std::mutex listenersLock;
    std::vector<std::function<void()>> listeners;
    int nextListenerId = 0;

    std::mutex missingLock;
    TextTable missing;
};

LocalizationState& State() {
    static LocalizationState state;
    return state;
}

std::size_t IndexOf(const LanguageInfo& language) {
    return static_cast<std::size_t>(&language - SupportedLanguages().data());
}

TablePtr LoadTable(const LanguageInfo& language) {
    const std::optional<std::string_view> bytes = LanguageResourceBytes(language.resourceId);
    if (!bytes) {
        core::LogWrite(core::LogLevel::Error,
                       L"Language resource missing for " + std::wstring(language.code));
        return nullptr;
    }
    LanguageTableParse parsed = ParseLanguageTable(*bytes);
    LogLanguageTableProblems(language.code, parsed);
    return std::move(parsed.table);
}

// Caller holds the exclusive lock.
TablePtr CachedTable(LocalizationState& state, const LanguageInfo& language) {
    TablePtr& slot = state.loaded[IndexOf(language)];
    if (!slot) {
        slot = LoadTable(language);
    }
    return slot;
}

// Caller holds the exclusive lock.
void EnsureEnglish(LocalizationState& state) {
    if (state.english) {
        return;
    }
    const LanguageInfo& english = SupportedLanguages().front();
    state.english = CachedTable(state, english);
    if (!state.english) {
        state.english = std::make_shared<const TextTable>();
        state.loaded[IndexOf(english)] = state.english;
    }
}

std::wstring UnitText(const LocalizationState& state, std::string_view key,
                      const wchar_t* fallback) {
    for (const TablePtr& table : {state.active, state.english}) {
        if (table) {
            const auto it = table->find(key);
            if (it != table->end()) {
                return it->second;
            }
        }
    }
    return fallback;
}

// Caller holds the exclusive lock.
void Activate(LocalizationState& state, TablePtr table, std::wstring_view code) {
    state.active = std::move(table);
    state.code.assign(code);
    state.initialised = true;
    RebuildFormatState(
        code, {UnitText(state, "common.size.b", L"B"), UnitText(state, "common.size.kb", L"KB"),
               UnitText(state, "common.size.mb", L"MB"), UnitText(state, "common.size.gb", L"GB"),
               UnitText(state, "common.size.tb", L"TB")});
}

void EnsureInitialised(LocalizationState& state) {
    {
        std::shared_lock lock(state.lock);
        if (state.initialised) {
            return;
        }
    }
    std::unique_lock lock(state.lock);
    if (!state.initialised) {
        EnsureEnglish(state);
        Activate(state, state.english, L"en");
    }
}

}  // namespace

bool SetLanguage(std::wstring_view code) {
    const LanguageInfo* language = FindLanguage(code);
    if (language == nullptr) {
        core::LogWrite(core::LogLevel::Warn, L"Unknown language code: " + std::wstring(code));
        return false;
    }
    LocalizationState& state = State();
    {
        std::unique_lock lock(state.lock);
        EnsureEnglish(state);
        TablePtr table = language->code == L"en" ? state.english : CachedTable(state, *language);
        if (!table) {
            return false;
        }
        Activate(state, std::move(table), language->code);
    }
    core::LogWrite(core::LogLevel::Info, L"UI language: " + std::wstring(language->code));

    std::vector<std::function<void()>> listeners;
    {
        std::lock_guard lock(state.listenersLock);
        listeners = state.listeners;
    }
    for (const auto& listener : listeners) {
        listener();
    }
    return true;
}

std::wstring CurrentLanguage() {
    LocalizationState& state = State();
    std::shared_lock lock(state.lock);
    return state.code;
}

const std::wstring& Tr(std::string_view key) {
    LocalizationState& state = State();
    EnsureInitialised(state);
    {
        std::shared_lock lock(state.lock);
        for (const TablePtr& table : {state.active, state.english}) {
            const auto it = table->find(key);
            if (it != table->end()) {
                return it->second;
            }
        }
    }
    std::lock_guard lock(state.missingLock);
    auto [it, inserted] = state.missing.try_emplace(std::string(key), core::Utf8ToWide(key));
    if (inserted) {
        core::LogWrite(core::LogLevel::Warn, L"Missing translation key: " + it->second);
    }
    return it->second;
}

int AddLanguageListener(std::function<void()> listener) {
    LocalizationState& state = State();
    std::lock_guard lock(state.listenersLock);
    state.listeners.push_back(std::move(listener));
    return state.nextListenerId++;
}

}  // namespace purvex::app
