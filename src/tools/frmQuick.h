#pragma once

#include "core/LongTask.h"
#include "core/QuickScan.h"

#include <QAbstractListModel>
#include <QWidget>

struct AppContext;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;

// The lines found by a scan (at most limits.rows of them).
class ScanResults : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_lines.size()); }
    QVariant data(const QModelIndex &index, int role) const override;
    void append(const QStringList &lines);
    void clear();
    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
};

// Lists the lines of a chosen file that hold a phrase, without opening it.
// The scan runs beside the window, which keeps repainting, shows how far it
// has come and can stop it (the lines found so far stay). Past limits.rows
// lines it only counts ("and N more matching lines"); it scans the file as
// far as it reached when the scan began.
class frmQuick : public QWidget
{
    Q_OBJECT

public:
    explicit frmQuick(AppContext &ctx);
    ~frmQuick() override;

    QLineEdit *Text1 = nullptr;
    QListView *List1 = nullptr;
    ScanResults *results = nullptr;
    QPushButton *Command1 = nullptr; // &Scan
    QPushButton *cmdStop = nullptr;
    QProgressBar *progress = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *lblMore = nullptr;
    QuickScan::Limits limits;

    bool scanning() const { return m_task.running(); }
    // Scans path for the phrase in Text1 (what "&Scan" does after its dialog).
    void scanFile(const QString &path);

signals:
    void scanFinished();

private:
    void startFrom(qint64 offset, qint64 end);
    void finish(const QuickScan::Outcome &outcome);
    void stopScan();

    AppContext &m_ctx;
    QString m_path;
    QString m_phrase;
    qint64 m_more = 0;
    LongTask<QStringList> m_task{this}; // last: stopped and waited for first
};
