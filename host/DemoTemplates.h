#pragma once

class DemoFiles;

/**
 * The templates a run's map window lists. A run that keeps its edits lists the user's own,
 * "templates" in the data folder, where the demo puts its sample template when it makes that
 * folder (a template the user deleted stays deleted). A run that keeps nothing lists copies of
 * them, with the sample, in a folder of its own (DemoFiles::runFile()), so that nothing done
 * there (a description edited, a template exported, imported, renamed or deleted) reaches the
 * user's. GUI thread.
 */
namespace DemoTemplates {

/**
 * Points the library's templates (TemplatesWidget::setTemplatesDirectory()) at those of the
 * run of files, and makes them when they are not there yet. Before the map window is made.
 */
void prepare(const DemoFiles& files);

} // namespace DemoTemplates
