#pragma once
#include <QString>

// The user manual, HTML pages in one folder per language ("ja", "en"), kept beside the program
// ("manual/" next to the executable, as the build tree has it) or under the installed data
// folder ("../share/linksmith/manual/").
class CHelpManual {
public:
    // programDir empty: the running program's folder.
    explicit CHelpManual(const QString& programDir = QString());

    // The language of the manual to show: the one the window speaks ("ja", "en"; chosen at
    // start from --lang, the language menu and the locale).
    static QString Language();
    // The manual's first page in that language (the Japanese one when that language has none);
    // empty when no manual is installed.
    QString IndexPage(const QString& language) const;
    // Where the manual is looked for first: the path the "help file missing" message names.
    QString ExpectedIndexPage(const QString& language) const;

private:
    QString m_programDir;
};
