#include "core/FileFilter.h"

#include <QStringList>

namespace FileFilter {

const QString kDocumentFilter = QStringLiteral(
    " Text Files(.txt) |*.txt| Setting Files (ini) |*.ini| Setup Information Files (inf) |*.inf "
    "| Webpages (htm/html) |*.html;*.htm| All Text Files |*.txt; *.ini; *.inf | Web files |*.html; *.htm; *.xml "
    "| Script Files |*.php; *.asp; *.js; *.css | Template Files |*.tet| Programming Files |*.CPP; *.frm; *.PHP; "
    "*.java; *.pl; *.pas; *.bas; *.C; *.frm | All Files |*.*");

QString toQtFilter(const QString &pipeSeparated)
{
    const QStringList parts = pipeSeparated.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'))) {
            const QString trimmed = p.trimmed();
            if (trimmed.isEmpty())
                continue;
            // "*.*" means every file; on Linux many names have no dot.
            patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace FileFilter
