#pragma once

#include "core/FindInFiles.h"
#include "core/LongTask.h"

#include <QWidget>
#include <memory>

class DocumentHost;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Search > Find in Files: a text looked for in every file of a folder and
// its sub-folders, in the background. The hits are listed by file with
// their counts; Enter or a double click opens the file (or shows its open
// window) with the match selected, and F8 / Shift+F8 step through them.
class FindInFilesPanel : public QWidget
{
    Q_OBJECT

public:
    FindInFilesPanel(DocumentHost &docs, QWidget *parent);
    ~FindInFilesPanel() override;

    QLineEdit *txtFindText = nullptr;
    QLineEdit *txtFolder = nullptr;
    QLineEdit *txtPatterns = nullptr;
    QCheckBox *chkMatchCase = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QCheckBox *chkRegex = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdStop = nullptr;
    QLabel *lblSummary = nullptr;
    QTreeWidget *lstHits = nullptr;

    void start();
    void stop();
    // Opens the hit of a result row (a file's row opens its first hit).
    void open(QTreeWidgetItem *row);
    // The next (or previous) hit after the current row, opened.
    void step(int by);

private:
    void add(const FindInFiles::Batch &batch);

    DocumentHost &m_docs;
    std::unique_ptr<LongTask<FindInFiles::Batch>> m_task;
};
