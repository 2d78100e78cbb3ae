#pragma once

#include "dozerozozu_export.h"

#include <QLocale>

/**
 * Puts the library's own texts into the user's language.
 *
 * The translations are compiled into the library. A host calls install() once its
 * QApplication exists (the library does nothing of its own accord when it loads); calling
 * it again, for instance after the user picked another language, replaces the translator
 * installed before. Its own texts the host translates as it always does.
 *
 *     QApplication app(argc, argv);
 *     LibraryTranslator::install();                // the user's language
 *     LibraryTranslator::install(QLocale("ru_RU")); // or a chosen one
 *
 * GUI thread only.
 */
class DOZEROZOZU_EXPORT LibraryTranslator
{
public:
    /// Installs the library's translation for locale's languages (the first one it has).
    /// Returns false, with nothing installed, when the library has no translation for them
    /// (its texts are English) or when no QCoreApplication exists yet.
    static bool install(const QLocale& locale = QLocale());
    /// Takes the installed translation out again; the texts are English from then on.
    static void remove();
    /// The resource folder holding the compiled-in translations, "DozeRozOZU_<language>.qm".
    static QString translationsPath();
};
