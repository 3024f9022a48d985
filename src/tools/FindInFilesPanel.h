#pragma once

#include "core/FindInFiles.h"
#include "core/LongTask.h"

#include <QWidget>
#include <atomic>
#include <memory>

struct AppContext;
class DocumentHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Search > Find in Files: a text looked for in every file of a folder and
// its sub-folders, or in the files of the project list, in the background.
// The hits are listed by file with their counts; Enter or a double click
// opens the file (or shows its open window) with the match selected, and
// F8 / Shift+F8 step through them.
//
// Replace puts the replacement in place of every checked hit, after one
// question: an open document gets it as one undoable edit of its text (not
// saved), a file that is not open is written in the background through the
// same checked atomic write as Save. What could not be replaced is listed.
class FindInFilesPanel : public QWidget
{
    Q_OBJECT

public:
    FindInFilesPanel(AppContext &ctx, DocumentHost &docs, QWidget *parent);
    ~FindInFilesPanel() override;

    QLineEdit *txtFindText = nullptr;
    QComboBox *cboWhere = nullptr; // 0: the folder, 1: the project list's files
    QLineEdit *txtFolder = nullptr;
    QLineEdit *txtReplaceWith = nullptr;
    QLineEdit *txtPatterns = nullptr;
    QCheckBox *chkMatchCase = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QCheckBox *chkRegex = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdStop = nullptr;
    QPushButton *cmdReplace = nullptr;
    QLabel *lblSummary = nullptr;
    QTreeWidget *lstHits = nullptr;

    void start();
    void stop();
    // Opens the hit of a result row (a file's row opens its first hit).
    void open(QTreeWidgetItem *row);
    // The next (or previous) hit after the current row, opened.
    void step(int by);
    // Replaces the checked hits of the last search, after asking.
    void replace();

private:
    struct FileDone {
        QString path;
        FindInFiles::FileReplaced result;
    };
    void add(const FindInFiles::Batch &batch);
    void searching(bool on);
    void replaced(const FileDone &file);
    void replacingDone();

    AppContext &m_ctx;
    DocumentHost &m_docs;
    std::unique_ptr<LongTask<FindInFiles::Batch>> m_task;
    std::unique_ptr<LongTask<FileDone>> m_replacing;
    std::shared_ptr<std::atomic_bool> m_stopReplacing;
    FindInFiles::Query m_searched; // what the listed hits were found with
    QString m_found;               // the summary of what the search has found so far
    QString m_with;                // what they are being replaced with
    qsizetype m_replacedCount = 0, m_replacedFiles = 0;
    QStringList m_notReplaced;
};
