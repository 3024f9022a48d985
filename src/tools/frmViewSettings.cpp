#include "tools/frmViewSettings.h"

#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

frmViewSettings::frmViewSettings(AppContext &ctx)
    : m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmViewSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *frame = new QGroupBox(QStringLiteral("View Settings"), this);
    auto *grid = new QGridLayout(frame);
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        txtProgram[i] = new QLineEdit(ctx.viewers[size_t(i)].File, frame);
        txtProgram[i]->setObjectName(QStringLiteral("txtProgram") + n);
        txtTitle[i] = new QLineEdit(ctx.viewers[size_t(i)].Title, frame);
        txtTitle[i]->setObjectName(QStringLiteral("txtTitle") + n);
        cmdBrowse[i] = namedButton(frame, qPrintable(QStringLiteral("cmdBrowse") + n), QStringLiteral("..."));
        cmdBrowse[i]->setAutoDefault(false);
        auto *label = new QLabel(QStringLiteral("External Program &") + n, frame);
        label->setBuddy(txtProgram[i]);
        grid->addWidget(label, i * 2, 0);
        grid->addWidget(txtProgram[i], i * 2, 1);
        grid->addWidget(cmdBrowse[i], i * 2, 2);
        grid->addWidget(new QLabel(QStringLiteral("Title"), frame), i * 2 + 1, 0);
        grid->addWidget(txtTitle[i], i * 2 + 1, 1, 1, 2);
        connect(cmdBrowse[i], &QPushButton::clicked, this, [this, i] {
            const QString chosen = m_ctx.dialogs.openFileName(QStringLiteral("All Files (*)"), txtProgram[i]->text()).trimmed();
            if (!chosen.isEmpty())
                txtProgram[i]->setText(chosen);
        });
    }
    txtTempDir = new QLineEdit(ctx.TemplatesDir, this);
    txtTempDir->setObjectName(QStringLiteral("txtTempDir"));
    cmdApply = namedButton(this, "cmdApply", QStringLiteral("&Save and Apply"));
    cmdApply->setDefault(true);
    cmdCancel = namedButton(this, "cmdCancel", QStringLiteral("&Never Mind"));
    auto *layout = new QGridLayout(this);
    layout->addWidget(frame, 0, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Templates Directory"), this), 1, 0);
    layout->addWidget(txtTempDir, 1, 1, 1, 2);
    layout->addWidget(cmdApply, 2, 1);
    layout->addWidget(cmdCancel, 2, 2);
    resize(520, 320);
    connect(cmdApply, &QPushButton::clicked, this, [this] {
        ValidateAll();
        m_ctx.settings.SaveExternalViewers(m_ctx.viewers);
        close();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
}

void frmViewSettings::ValidateAll()
{
    for (int i = 0; i < 3; ++i) {
        const QString file = txtProgram[i]->text().trimmed();
        const QString title = txtTitle[i]->text().trimmed();
        // Both fields empty: the viewer stays as it was.
        if (!file.isEmpty() || !title.isEmpty())
            m_ctx.viewers[size_t(i)] = {file, title};
    }
    m_ctx.settings.RegWriteString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir"), txtTempDir->text());
    m_ctx.TemplatesDir = txtTempDir->text();
}

void frmViewSettings::keyPressEvent(QKeyEvent *e)
{
    // A window, not a dialog: Enter and Esc work as its default and cancel buttons.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        cmdApply->click();
    else if (e->key() == Qt::Key_Escape)
        cmdCancel->click();
    else
        QWidget::keyPressEvent(e);
}
