#include "gui/RunChart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

QStringList zrv::runChartFolders()
{
    QStringList folders{QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/" ZRV_CHART_MODULE_DIR_FROM_PROGRAM))};
    folders += QCoreApplication::libraryPaths();
    folders.removeDuplicates();
    return folders;
}

RunChartFactory* zrv::loadRunChartFactory(const QStringList& folders, QString* error)
{
    const QString name = QStringLiteral(ZRV_CHART_MODULE_FILE);
    QStringList failures;
    for (const QString& folder : folders) {
        const QString file = QDir(folder).filePath(name);
        if (!QFileInfo(file).isFile())
            continue;
        // Qt keeps a loaded module until the program ends, whatever becomes of its loader.
        QPluginLoader loader(file);
        if (auto* factory = qobject_cast<RunChartFactory*>(loader.instance()))
            return factory;
        failures << (loader.isLoaded() ? QCoreApplication::translate("RunChart", "%1: beklenen modül değil")
                                             .arg(QDir::toNativeSeparators(file))
                                       : loader.errorString());
        loader.unload();
    }
    *error = failures.isEmpty() ? QCoreApplication::translate("RunChart", "%1 bulunamadı (%2)")
                                      .arg(name, folders.join(QStringLiteral(", ")))
                                : failures.join(QStringLiteral("; "));
    return nullptr;
}

RunChart* zrv::createRunChart(bool compact, QWidget* parent, QString* error)
{
    // Looked for once: a module that is missing does not appear while the program runs.
    static QString failure;
    static RunChartFactory* const factory = loadRunChartFactory(runChartFolders(), &failure);
    if (!factory) {
        *error = failure;
        return nullptr;
    }
    return factory->createChart(compact, parent);
}
