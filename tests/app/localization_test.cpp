#include "app/localization.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app_log.h"

namespace purvex::app {
namespace {

TEST(LocalizationTest, EveryLanguageGivesItsOwnTexts) {
    const struct {
        const wchar_t* code;
        const wchar_t* cancel;
        const wchar_t* recycleBin;
    } cases[] = {
        {L"en", L"Cancel", L"Recycle Bin"},
        {L"de", L"Abbrechen", L"Papierkorb"},
        {L"es", L"Cancelar", L"Papelera de reciclaje"},
        {L"fr", L"Annuler", L"Corbeille"},
        {L"ja", L"\u30ad\u30e3\u30f3\u30bb\u30eb", L"\u3054\u307f\u7bb1"},
        {L"ko", L"\ucde8\uc18c", L"\ud734\uc9c0\ud1b5"},
        {L"pt-PT", L"Cancelar", L"Reciclagem"},
        {L"zh-TW", L"\u53d6\u6d88", L"\u8cc7\u6e90\u56de\u6536\u7b52"},
        {L"zh-CN", L"\u53d6\u6d88", L"\u56de\u6536\u7ad9"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetLanguage(c.code));
        EXPECT_EQ(CurrentLanguage(), c.code);
        EXPECT_EQ(Tr("common.cancel"), c.cancel);
        EXPECT_EQ(Tr("junk.cat.recyclebin.name"), c.recycleBin);
    }
    SetLanguage(L"en");
}

TEST(LocalizationTest, CodeIsMatchedIgnoringCaseAndLoggedCanonically) {
    test::AppLog log;
    ASSERT_TRUE(SetLanguage(L"ZH-tw"));
    EXPECT_EQ(CurrentLanguage(), L"zh-TW");
    EXPECT_EQ(log.Count("UI language: zh-TW"), 1);

    // Only the settings reader maps Brazilian Portuguese; here it is an unknown code.
    EXPECT_FALSE(SetLanguage(L"pt-BR"));
    EXPECT_FALSE(SetLanguage(L""));
    EXPECT_EQ(CurrentLanguage(), L"zh-TW");
    EXPECT_EQ(log.Count("Unknown language code: pt-BR"), 1);
    SetLanguage(L"en");
}

TEST(LocalizationTest, MissingKeyShowsTheKeyAndIsLoggedOnce) {
    test::AppLog log;
    SetLanguage(L"de");
    EXPECT_EQ(Tr("junk.no.such.key"), L"junk.no.such.key");
    EXPECT_EQ(Tr("junk.no.such.key"), L"junk.no.such.key");
    EXPECT_EQ(log.Count("Missing translation key: junk.no.such.key"), 1);
    SetLanguage(L"en");
}

TEST(LocalizationTest, TextStaysValidAcrossSwitches) {
    SetLanguage(L"de");
    const std::wstring& german = Tr("common.close");
    SetLanguage(L"fr");
    EXPECT_EQ(german, L"Schlie\u00dfen");
    EXPECT_EQ(Tr("common.close"), L"Fermer");
    SetLanguage(L"en");
}

TEST(LocalizationTest, ListenersRunAfterEachSwitchWithoutLocks) {
    SetLanguage(L"en");
    // Listeners stay registered for the rest of the program, so they own what they touch
    // and go quiet when this test ends.
    struct Record {
        bool active = true;
        bool added = false;
        std::vector<std::wstring> seen;
    };
    auto record = std::make_shared<Record>();
    AddLanguageListener([record] {
        if (!record->active) {
            return;
        }
        // Reading texts here would deadlock if the switch still held its lock.
        record->seen.push_back(CurrentLanguage() + L":" + Tr("common.yes"));
        if (!record->added) {
            record->added = true;
            AddLanguageListener([record] {
                if (record->active) {
                    record->seen.push_back(L"second");
                }
            });
        }
    });
    SetLanguage(L"es");
    EXPECT_FALSE(SetLanguage(L"xx"));
    SetLanguage(L"ko");
    EXPECT_EQ(record->seen, (std::vector<std::wstring>{L"es:S\u00ed", L"ko:\uc608", L"second"}));
    record->active = false;
    SetLanguage(L"en");
}

}  // namespace
}  // namespace purvex::app
