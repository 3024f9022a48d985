#include "ui/FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace FileDrops {

QStringList files(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

bool acceptFiles(QDropEvent *e)
{
    if (files(e->mimeData()).isEmpty()) {
        e->ignore();
        return false;
    }
    e->acceptProposedAction();
    return true;
}

QStringList take(QDropEvent *e)
{
    const QStringList paths = files(e->mimeData());
    if (paths.isEmpty())
        e->ignore();
    else
        e->acceptProposedAction();
    return paths;
}

} // namespace FileDrops
