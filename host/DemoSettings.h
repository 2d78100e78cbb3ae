#pragma once

#include <QLocale>
#include <QString>

class Config;
class DemoFiles;
class YamlConfig;

/**
 * The demo's own settings: a YAML file in its writable data folder, loaded into the
 * process-wide YamlConfig at start, before any window exists, so that what they name (the
 * language) holds for every window. The settings window edits them.
 */
namespace DemoSettings {

/// The node of the settings file that holds the demo's keys.
QString node();
/// The settings file, "demo-settings.yaml" in the demo's data folder.
QString file();
/// Loads the settings file into config. A malformed file is reported on the log and kept
/// beside, as "demo-settings.yaml_corrupted" (numbered when that exists): the demo starts with
/// its defaults, and a later save of the settings never writes over what the user wrote.
/// read() then keepUnreadableAside().
void load(YamlConfig* config);
/// Loads the settings file into config as load() does, but leaves a malformed file where it is,
/// for a run that keeps nothing in the data folder. A file that is there but cannot be opened
/// (its permissions, a folder in its place) is reported on the log too, and the defaults apply.
void read(YamlConfig* config);
/// Keeps the file the last read() could not read aside as load() does; nothing when it read it.
void keepUnreadableAside();
/**
 * Sends the saves of config (the settings window's, the height tolerance's) where the run of
 * files keeps the settings: to file() in a run that keeps the user's changes, a file the last
 * read() could not parse kept aside first; to a file of the run's own (DemoFiles::runFile())
 * in a run that keeps nothing, which goes with the run, so that file(), read, unreadable or
 * absent, stays as it is. So too while file() cannot be opened, in any run: what it holds is
 * neither written over nor moved. config holds what read() gave it either way.
 */
void saveWhereTheRunKeeps(YamlConfig* config, const DemoFiles& files);
/// Where saves of the settings go: file(), or the run's own file (saveWhereTheRunKeeps()).
QString savedFile();
/// Whether saves of the settings reach file(), where the next start reads them.
bool savesAreKept();
/// The headline that tells the user a change of the settings is not kept (savesAreKept()
/// false): the run keeps none of the user's changes, or none of the settings. Translated.
QString notKeptHeadline();
/// What the user is to be told of the file the last read() could not read or parse, and where
/// it is kept; empty when that read it, or found none. Translated when asked for.
QString unreadableFileNotice();
/// The value of "language" that stands for the system's language, the default.
QString systemLanguage();
/// The language the settings choose: "language" read as a locale name ("ru", "en"), or the
/// system's locale when it is missing, "system" or names no language.
QLocale language(Config* config);
/// Puts the library's texts and the demo's own into locale's language; English where either
/// has no translation. Needs the QApplication.
void installTranslations(const QLocale& locale);

} // namespace DemoSettings
