#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

// Three lists for choosing a file: the places (the home folder and every
// mounted volume), every folder of the current folder (".." goes up), and
// every file there that match the patterns (without regard to case). Clicking
// a file reports its full path.
class FileChooser : public QWidget
{
    Q_OBJECT

public:
    // patterns empty: every file.
    explicit FileChooser(const QStringList &patterns, QWidget *parent = nullptr);

    QComboBox *places = nullptr;
    QLabel *folder = nullptr; // the folder listed, in full
    QListWidget *folders = nullptr;
    QListWidget *files = nullptr;

    QString directory() const { return m_dir; }
    void setDirectory(const QString &dir);

signals:
    void fileClicked(const QString &path);

private:
    QStringList m_patterns;
    QString m_dir;
};
