// The real dialogs behind the Dialogs seam: a message box and the file
// dialogs, answered by finding the modal window as a person would.
#include "platform/QtDialogs.h"
#include "support/Modal.h"
#include "support/TestEnv.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>


class TestQtDialogs : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxAnswers_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("clicked");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("Abort") << QMessageBox::Abort << Dialogs::Answer::Abort;
        QTest::newRow("Retry") << QMessageBox::Retry << Dialogs::Answer::Retry;
        QTest::newRow("Ignore") << QMessageBox::Ignore << Dialogs::Answer::Ignore;
    }

    void messageBoxAnswers()
    {
        QFETCH(QMessageBox::StandardButton, clicked);
        QFETCH(Dialogs::Answer, answer);
        QString shownText;
        QString shownCaption;
        whenModal("message box", [&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            shownText = box->text();
            shownCaption = box->windowTitle();
            box->button(clicked)->click();
        });
        QtDialogs dialogs;
        const Dialogs::Answer got = dialogs.message(QStringLiteral("first\r\nsecond\r\nthird"),
                                                    Dialogs::Buttons::AbortRetryIgnore, Dialogs::Icon::None,
                                                    QStringLiteral("Orvane"));
        QCOMPARE(got, answer);
        QCOMPARE(shownText, QStringLiteral("first\nsecond\nthird"));
        QCOMPARE(shownCaption, QStringLiteral("Orvane"));
    }

    void closingTheBoxIsTheSafeAnswer()
    {
        whenModal("message box", [](QWidget *modal) { modal->close(); });
        QtDialogs dialogs;
        QCOMPARE(dialogs.message(QStringLiteral("Save?"), Dialogs::Buttons::YesNoCancel, Dialogs::Icon::None, QString()),
                 Dialogs::Answer::Cancel);
    }

    void saveDialogReturnsTheChosenName()
    {
        QTemporaryDir dir;
        const QString wanted = dir.filePath(QStringLiteral("new file.txt"));
        QStringList filters;
        whenModal("save dialog", [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            // Typed into the name field, as a person would.
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(wanted);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtDialogs dialogs;
        const QString got = dialogs.saveFileName(QStringLiteral("Text Files(.txt) (*.txt);;All Files (*)"), dir.path());
        QCOMPARE(got, wanted);
        QCOMPARE(filters, (QStringList{"Text Files(.txt) (*.txt)", "All Files (*)"}));
    }

    // The open dialog starts with the filter chosen last (the first one at first).
    void openDialogRemembersTheFilter()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("page.html"));
        QFile(file).open(QIODevice::WriteOnly);
        const QString filters = QStringLiteral("Text Files(.txt) (*.txt);;Webpages (*.html *.htm);;All Files (*)");
        QtDialogs dialogs;
        QString shown;
        whenModal("open dialog", [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            shown = dialog->selectedNameFilter();
            dialog->selectNameFilter(QStringLiteral("Webpages (*.html *.htm)"));
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(dialogs.openFileName(filters, dir.path()), file);
        QCOMPARE(shown, QStringLiteral("Text Files(.txt) (*.txt)"));
        whenModal("open dialog", [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            shown = dialog->selectedNameFilter();
            dialog->reject();
        });
        dialogs.openFileName(filters, dir.path());
        QCOMPARE(shown, QStringLiteral("Webpages (*.html *.htm)"));
    }

    void cancelledOpenDialogGivesNothing()
    {
        whenModal("open dialog", [](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
        QtDialogs dialogs;
        QCOMPARE(dialogs.openFileName(QStringLiteral("All Files (*)"), QString()), QString());
    }
};

ORVANE_GUI_TEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
