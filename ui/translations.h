#pragma once
// Qt's own texts in the user's language: the Yes and No of a message box, the box's context menu
// (Undo, Cut, Copy, Paste, Delete, Select All). Qt speaks English unless a catalogue of its own
// is installed. Linux distributions ship those catalogues in Qt's translations folder; a build
// that has no such folder (Windows) carries the same files as resources under :/i18n.

#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <vector>

namespace moshitong {

// Where Qt's catalogues are looked for, in order: the resources, then Qt's translations folder.
QStringList platformTranslationFolders();

// Qt's catalogues for one language, installed into the running application for as long as this
// object lives. Nothing is installed for a language Qt has no catalogue for, nor for the C
// locale: Qt's own texts are English already.
class PlatformTranslations {
public:
    explicit PlatformTranslations(const QLocale& locale,
                                  const QStringList& folders = platformTranslationFolders());
    ~PlatformTranslations();
    PlatformTranslations(const PlatformTranslations&) = delete;
    PlatformTranslations& operator=(const PlatformTranslations&) = delete;

private:
    std::vector<std::unique_ptr<QTranslator>> translators_;
};

}  // namespace moshitong
