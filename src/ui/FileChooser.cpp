#include "ui/FileChooser.h"

#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QStorageInfo>
#include <QVBoxLayout>

FileChooser::FileChooser(const QStringList &patterns, QWidget *parent)
    : QWidget(parent), m_patterns(patterns)
{
    places = new QComboBox(this);
    folder = new QLabel(this);
    folder->setObjectName(QStringLiteral("lblFolder"));
    folder->setTextFormat(Qt::PlainText);
    folders = new QListWidget(this);
    files = new QListWidget(this);
    QStringList roots{QDir::homePath()};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    places->addItems(roots);

    auto *lists = new QVBoxLayout;
    lists->addWidget(places);
    lists->addWidget(folder);
    lists->addWidget(folders, 1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(lists, 1);
    layout->addWidget(files, 1);

    connect(places, &QComboBox::textActivated, this, &FileChooser::setDirectory);
    connect(folders, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setDirectory(QDir(m_dir).absoluteFilePath(item->text())); });
    connect(files, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit fileClicked(QDir(m_dir).filePath(item->text())); });
    setDirectory(QDir::currentPath());
}

void FileChooser::setDirectory(const QString &dir)
{
    const QDir d(dir);
    if (!d.exists())
        return;
    m_dir = d.canonicalPath();
    folders->clear();
    if (!d.isRoot())
        folders->addItem(QStringLiteral(".."));
    // Every folder and every file, dot names included (.htaccess, .config).
    folders->addItems(d.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    files->clear();
    QDir filtered(m_dir);
    filtered.setNameFilters(m_patterns);
    files->addItems(filtered.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase));
    setToolTip(m_dir);
    // The place shown is the one the folder is in, and the folder is named
    // whole: the file chosen is in the folder the user sees.
    int best = -1;
    for (int i = 0; i < places->count(); ++i) {
        const QString root = QDir(places->itemText(i)).canonicalPath();
        if ((m_dir == root || m_dir.startsWith(root.endsWith(u'/') ? root : root + u'/'))
            && (best < 0 || root.size() > QDir(places->itemText(best)).canonicalPath().size()))
            best = i;
    }
    if (best >= 0)
        places->setCurrentIndex(best);
    folder->setText(QDir::toNativeSeparators(m_dir));
}
