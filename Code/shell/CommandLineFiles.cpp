#include "shell/CommandLineFiles.h"

#include <QDir>
#include <QFile>
#include <QUrl>

std::vector<std::string> FilesFromCommandLine(const QStringList &arguments,
                                              const QString &workingFolder)
{
    std::vector<std::string> names;
    const QDir folder(workingFolder);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const QString path = argument.startsWith("file:", Qt::CaseInsensitive)
                                 ? QUrl(argument).toLocalFile()
                                 : folder.absoluteFilePath(argument);
        // The encoder runs in the program folder, so a source must be named by its full path.
        if (!path.isEmpty())
            names.push_back(QFile::encodeName(QDir::cleanPath(path)).toStdString());
    }
    return names;
}
