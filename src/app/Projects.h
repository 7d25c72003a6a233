#pragma once

#include <QString>
#include <QStringList>

class ProgramState;

// The rules of creating and listing configurations, without the dialogs.
namespace Projects {

// String-table index of the refusal, or 0 when the configuration was created
// (then the state's name, folder and document paths are set).
int createConfiguration(ProgramState& state, const QString& name);

// A name that would leave PROJECTS, nest inside it or that a Windows folder cannot hold.
bool isUnsafeName(const QString& name);

// Folder names in PROJECTS in the order the file system gives them.
QStringList listConfigurations(const QString& projectsFolder);

// Entry to preselect: the active folder's name (letter case ignored), else the first; -1 when empty.
int preselection(const QStringList& names, const QString& activeFolderName);

// Takes over the chosen name (empty: none becomes active) and recomputes the paths.
void openConfiguration(ProgramState& state, const QString& name);

} // namespace Projects
