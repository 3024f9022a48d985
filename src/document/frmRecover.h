#pragma once

#include "core/Journal.h"

#include <QDialog>

class DocumentManager;
class QLabel;
class QPushButton;
class QTreeWidget;

// After the program ended without closing its documents, lists what can be
// recovered: Recover opens each document again with its text, path and
// unsaved changes; Discard throws the journals away; Later keeps them for
// the next start.
class frmRecover : public QDialog
{
    Q_OBJECT

public:
    frmRecover(DocumentManager &docs, QList<Journal::Orphan> orphans, QWidget *owner);

    // Shows the window when there is anything to recover under root.
    static void offer(DocumentManager &docs, const QString &root, QWidget *owner);

    QTreeWidget *lstRecover = nullptr;
    QPushButton *cmdRecover = nullptr;
    QPushButton *cmdDiscard = nullptr;
    QPushButton *cmdLater = nullptr;
    QLabel *lblUnreadable = nullptr;

private:
    QList<Journal::Orphan> m_orphans;
};
