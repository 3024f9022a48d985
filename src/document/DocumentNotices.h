#pragma once

#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

// The notices above a document's text: another program changed or removed
// its file ("fraDiskNotice", with Reload and Ignore), its lines too long to
// show whole are cut ("lblCutNotice"), its unsaved changes are not being
// backed up ("lblBackupNotice"), a command worth running now ("fraOffer").
// Each shows only while it applies.
class DocumentNotices : public QWidget
{
    Q_OBJECT

public:
    enum class Disk { Changed, Removed };

    DocumentNotices(qsizetype longLineMb, qsizetype shownMb, QWidget *parent);

    // unsaved: the document has changes of its own too.
    void showDisk(Disk kind, bool unsaved);
    void hideDisk();
    void showCut(bool shown);
    // why the journal cannot be written; "" hides the notice.
    void showBackupFailure(const QString &why);
    // An offer ("fraOffer": a text, a button "cmdOffer" that runs action,
    // and Hide); either button hides it.
    void showOffer(const QString &text, const QString &button, std::function<void()> action);

signals:
    void reloadClicked();

private:
    QFrame *m_disk = nullptr;
    QLabel *m_diskText = nullptr;
    QPushButton *m_reload = nullptr;
    QLabel *m_cut = nullptr;
    QLabel *m_backup = nullptr;
    QFrame *m_offer = nullptr;
    QLabel *m_offerText = nullptr;
    QPushButton *m_offerButton = nullptr;
    std::function<void()> m_offerAction;
};
