#include "qt/app_icon.h"

#include <QDir>

QIcon qt_AppIcon() {
    static const QIcon icon = [] {
        QIcon made;
        const QDir dir(QStringLiteral(":/sortie/icons"));
        for (const QString& name : dir.entryList({QStringLiteral("*.png")}, QDir::Files))
            made.addFile(dir.filePath(name));
        if (made.isNull()) made = QIcon::fromTheme(QStringLiteral("sortie"));
        return made;
    }();
    return icon;
}
