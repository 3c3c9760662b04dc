#include "app/language_table_report.h"

#include <string>

#include "core/log.h"
#include "core/text.h"

namespace purvex::app {

void LogLanguageTableProblems(std::wstring_view code, const LanguageTableParse& parsed) {
    const std::wstring prefix = L"Language " + std::wstring(code);
    for (const std::string& key : parsed.duplicateKeys) {
        core::LogWrite(core::LogLevel::Warn, prefix + L": duplicate key '" + core::Utf8ToWide(key) +
                                                 L"', the last one wins");
    }
    for (const std::uint32_t line : parsed.malformedLines) {
        core::LogWrite(core::LogLevel::Warn,
                       prefix + L": malformed line " + std::to_wstring(line) + L" ignored");
    }
}

}  // namespace purvex::app
