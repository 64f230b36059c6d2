#include "i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace tessum {

namespace {

// Network errors, dialogs and buttons live in qtbase; the sound player's
// messages in qtmultimedia.
constexpr const char* Catalogues[] = {"qtbase", "qtmultimedia"};

std::vector<std::unique_ptr<QTranslator>>& Installed() {
    static std::vector<std::unique_ptr<QTranslator>> Translators;
    return Translators;
}

void RemoveAll() {
    for (auto& T : Installed()) QCoreApplication::removeTranslator(T.get());
    Installed().clear();
}

}  // namespace

bool SetQtLanguage(const std::string& Language) {
    static std::string Current;
    if (Language == Current && (Language != "german" || !Installed().empty())) return true;
    RemoveAll();
    Current = Language;
    // Dates and numbers in Qt's dialogs (the file list's dates) follow as well.
    QLocale::setDefault(Language == "german" ? QLocale(QLocale::German, QLocale::Germany) : QLocale::system());
    if (Language != "german") return true;
    bool All = true;
    const QString Folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* Catalogue : Catalogues) {
        auto T = std::make_unique<QTranslator>();
        if (!T->load(QLocale(QLocale::German, QLocale::Germany), QLatin1String(Catalogue), QStringLiteral("_"),
                     Folder)) {
            All = false;
            continue;
        }
        QCoreApplication::installTranslator(T.get());
        Installed().push_back(std::move(T));
    }
    return All;
}

}  // namespace tessum
