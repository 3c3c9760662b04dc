#include "app/language_table.h"

#include "core/text.h"

namespace purvex::app {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

// A backslash before anything but n, t or another backslash is kept as written, so that
// texts holding paths survive a translator's missing escape.
std::string Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 't' || next == '\\') {
                out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

bool IsValidTextKey(std::string_view key) {
    if (key.empty()) {
        return false;
    }
    for (const char c : key) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

LanguageTableParse ParseLanguageTable(std::string_view bytes) {
    if (bytes.starts_with(kBom)) {
        bytes.remove_prefix(kBom.size());
    }
    auto table = std::make_shared<TextTable>();
    LanguageTableParse result;
    std::uint32_t lineNumber = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view raw = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++lineNumber;

        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key =
            equals == std::string_view::npos ? std::string_view{} : Trim(line.substr(0, equals));
        if (!IsValidTextKey(key)) {
            result.malformedLines.push_back(lineNumber);
            continue;
        }
        std::wstring text = core::Utf8ToWide(Unescape(Trim(line.substr(equals + 1))));
        auto [it, inserted] = table->try_emplace(std::string(key), std::move(text));
        if (!inserted) {
            it->second = std::move(text);
            result.duplicateKeys.emplace_back(key);
        }
    }
    result.table = std::move(table);
    return result;
}

}  // namespace purvex::app
