#include "app/Projects.h"

#include "common/ProgramState.h"

#include <QDir>
#include <QFileInfo>

namespace Projects {

bool isUnsafeName(const QString& name)
{
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return true;
    for (QChar c : name) {
        if (c.unicode() < 32)
            return true;
        switch (c.unicode()) {
        case u'/':
        case u'\\':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            return true;
        default:
            break;
        }
    }
    // Windows drops trailing dots and blanks, so the folder would get another name.
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return true;
    static const QStringList reserved = {
        QStringLiteral("CON"),  QStringLiteral("PRN"),  QStringLiteral("AUX"),  QStringLiteral("NUL"),
        QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4"),
        QStringLiteral("COM5"), QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8"),
        QStringLiteral("COM9"), QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3"),
        QStringLiteral("LPT4"), QStringLiteral("LPT5"), QStringLiteral("LPT6"), QStringLiteral("LPT7"),
        QStringLiteral("LPT8"), QStringLiteral("LPT9")};
    const QString stem = name.section(u'.', 0, 0);
    return reserved.contains(stem, Qt::CaseInsensitive);
}

int createConfiguration(ProgramState& state, const QString& name)
{
    if (name.isEmpty())
        return 107;
    if (isUnsafeName(name))
        return 105;
    const QString folder = state.projectFolder(name);
    if (QFileInfo::exists(folder))
        return 106;
    if (!QDir().mkdir(folder))
        return 105;
    QDir().mkpath(folder + QDir::separator() + QStringLiteral("bin"));
    state.configurationName = name;
    state.configurationFolder = folder;
    state.Set_Files();
    return 0;
}

QStringList listConfigurations(const QString& projectsFolder)
{
    return QDir(projectsFolder)
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
}

int preselection(const QStringList& names, const QString& activeFolderName)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(activeFolderName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return names.isEmpty() ? -1 : 0;
}

void openConfiguration(ProgramState& state, const QString& name)
{
    state.configurationName = name;
    state.configurationFolder = name.isEmpty() ? QString() : state.projectFolder(name);
    state.Set_Files();
}

} // namespace Projects
