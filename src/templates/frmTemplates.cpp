#include "templates/frmTemplates.h"

#include "core/TemplateLibrary.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/FileChooser.h"
#include "ui/NamedButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>

frmTemplates::frmTemplates(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmTemplates"));
    setWindowTitle(QStringLiteral("Install Template"));
    chooser = new FileChooser({QStringLiteral("*.tet")}, this);
    chooser->places->setObjectName(QStringLiteral("drvTemplates"));
    chooser->folders->setObjectName(QStringLiteral("DirTemplates"));
    chooser->files->setObjectName(QStringLiteral("fleTemplates"));
    txtTemplates = new QLineEdit(this);
    txtTemplates->setObjectName(QStringLiteral("txtTemplates"));
    lstTemplates = new QListWidget(this);
    lstTemplates->setObjectName(QStringLiteral("lstTemplates"));
    Command1 = namedButton(this, "Command1", QStringLiteral("&add"));
    Command2 = namedButton(this, "Command2", QStringLiteral("Delete"));
    Command3 = namedButton(this, "Command3", QStringLiteral("&Import"));
    Command4 = namedButton(this, "Command4", QStringLiteral("&Clear"));
    // Enter in the path field must not run a button.
    for (QPushButton *b : {Command1, Command2, Command3, Command4})
        b->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(chooser, 0, 0, 1, 4);
    grid->addWidget(txtTemplates, 1, 0, 1, 3);
    grid->addWidget(Command1, 1, 3);
    grid->addWidget(lstTemplates, 2, 0, 1, 4);
    grid->addWidget(Command2, 3, 0);
    grid->addWidget(Command4, 3, 1);
    grid->addWidget(Command3, 3, 3);
    resize(560, 460);

    connect(chooser, &FileChooser::fileClicked, txtTemplates, &QLineEdit::setText);
    connect(Command1, &QPushButton::clicked, this, [this] {
        lstTemplates->addItem(txtTemplates->text());
        txtTemplates->clear();
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = lstTemplates->currentItem(); item && item->isSelected())
            delete item;
        else
            m_ctx.dialogs.beep();
    });
    connect(Command4, &QPushButton::clicked, lstTemplates, &QListWidget::clear);
    connect(Command3, &QPushButton::clicked, this, &frmTemplates::import);
}

void frmTemplates::import()
{
    QStringList entries;
    for (int i = 0; i < lstTemplates->count(); ++i)
        entries << lstTemplates->item(i)->text();
    const QStringList failures = TemplateLibrary::install(entries, m_ctx.TemplatesDir, [this](const QString &entry, const QString &installed) {
        return m_ctx.dialogs.message(QStringLiteral("The template ") + installed + QStringLiteral(" is already installed, with "
                                                                                                  "other text.\r\nReplace it with ")
                                         + entry + QStringLiteral("?"),
                                     Dialogs::Buttons::YesNo, Dialogs::Icon::Question, AppContext::appTitle())
               == Dialogs::Answer::Yes;
    });
    if (!failures.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("These templates could not be installed in ") + m_ctx.TemplatesDir
                                  + QStringLiteral(":\r\n") + failures.join(QStringLiteral("\r\n")),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
    }
    accept();
}
