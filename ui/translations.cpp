#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <array>

namespace moshitong {

namespace {

// qtbase holds every text the window shows: the message box's buttons and the text edit's menu.
// The all-in-one "qt_" catalogue would also load the modules the program never uses.
constexpr std::array kCatalogues = {"qtbase"};

}  // namespace

QStringList platformTranslationFolders() {
    return {QStringLiteral(":/i18n"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

PlatformTranslations::PlatformTranslations(const QLocale& locale, const QStringList& folders) {
    // The C locale's languages are "C", and a catalogue named after it would only be a mistake.
    if (locale.language() == QLocale::C) {
        return;
    }
    for (const char* catalogue : kCatalogues) {
        for (const QString& folder : folders) {
            auto translator = std::make_unique<QTranslator>();
            // Tries zh_CN, then zh, and so on down the locale's languages, in this folder.
            if (translator->load(locale, QLatin1String(catalogue), QStringLiteral("_"), folder) &&
                QCoreApplication::installTranslator(translator.get())) {
                translators_.push_back(std::move(translator));
                break;
            }
        }
    }
}

PlatformTranslations::~PlatformTranslations() {
    for (const auto& translator : translators_) {
        QCoreApplication::removeTranslator(translator.get());
    }
}

}  // namespace moshitong
