#include "templates/frmFields.h"

#include "core/TemplatePass.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/DocumentTarget.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

using Key = SettingsStore::Key;

// The remembered answers, latest first.
QList<std::pair<QString, QString>> rememberedAnswers(const SettingsStore &settings)
{
    QList<std::pair<QString, QString>> list;
    for (int i = 1; i <= SettingsStore::info(Key::FieldLabel).count; ++i) {
        const QString label = settings.value(Key::FieldLabel, i).toString();
        if (!label.isEmpty())
            list.append({label, settings.value(Key::FieldAnswer, i).toString()});
    }
    return list;
}

} // namespace

bool frmFields::FillIn(AppContext &ctx, DocumentTarget &doc)
{
    if (TemplatePass::promptLabels(doc.Text()).isEmpty()) {
        ctx.dialogs.message(QStringLiteral("This document has no fields to fill in."), Dialogs::Buttons::Ok,
                            Dialogs::Icon::None, AppContext::appTitle());
        return false;
    }
    frmFields form(ctx, doc, doc.widget()->window());
    return form.exec() == QDialog::Accepted && form.chkExecute->isChecked();
}

frmFields::frmFields(AppContext &ctx, DocumentTarget &doc, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_doc(doc), m_text(doc.Text()), m_labels(TemplatePass::promptLabels(m_text))
{
    setObjectName(QStringLiteral("frmFields"));
    setWindowTitle(QStringLiteral("Fill In Fields"));
    QHash<QString, QString> last;
    for (const auto &[label, answer] : rememberedAnswers(ctx.settings))
        last.insert(label, answer);

    auto *fields = new QWidget;
    auto *form = new QFormLayout(fields);
    for (const QString &label : std::as_const(m_labels)) {
        auto *box = new QLineEdit(last.value(label, label), fields);
        box->setObjectName(QStringLiteral("txtField%1").arg(m_boxes.size()));
        auto *caption = new QLabel(label, fields);
        caption->setTextFormat(Qt::PlainText);
        caption->setBuddy(box);
        form->addRow(caption, box);
        m_boxes << box;
        connect(box, &QLineEdit::textChanged, this, &frmFields::showPreview);
    }
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);
    txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    chkExecute = new QCheckBox(QStringLiteral("Then run Tools > Execute for the document's titles, messages and links"), this);
    chkExecute->setObjectName(QStringLiteral("chkExecute"));
    bool otherTags = false;
    for (const char *tag : {"<QRLTITLE>", "<QRLMESSAGE>", "<QRLLINK>"})
        otherTags = otherTags || m_text.contains(QLatin1String(tag));
    chkExecute->setVisible(otherTags);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        fill();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(new QLabel(QStringLiteral("The first lines as they will read:"), this));
    layout->addWidget(txtPreview, 1);
    layout->addWidget(chkExecute);
    layout->addWidget(buttons);
    resize(520, 420);
    showPreview();
    // Typing replaces the first box's text at once.
    if (!m_boxes.isEmpty()) {
        m_boxes.first()->setFocus();
        m_boxes.first()->selectAll();
    }
}

QHash<QString, QString> frmFields::answers() const
{
    QHash<QString, QString> given;
    for (int i = 0; i < m_labels.size(); ++i)
        given.insert(m_labels[i], m_boxes[i]->text());
    return given;
}

void frmFields::showPreview()
{
    QString preview = TemplatePass::fillFields(m_text, answers(), kPreviewLines);
    txtPreview->setPlainText(preview.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void frmFields::fill()
{
    const QHash<QString, QString> given = answers();
    const QString filled = TemplatePass::fillFields(m_text, given);
    if (filled != m_text) {
        m_doc.undoStep();
        m_doc.SetText(filled);
        m_doc.undoStep();
    }
    // The answers given go first; the others stay as long as there is room.
    // Fields and answers longer than a line or two are not worth keeping in
    // the settings file.
    constexpr qsizetype kLongest = 1000;
    QList<std::pair<QString, QString>> list;
    for (const QString &label : std::as_const(m_labels)) {
        if (!given.value(label).isEmpty() && label.size() <= kLongest && given.value(label).size() <= kLongest)
            list.append({label, given.value(label)});
    }
    for (const auto &entry : rememberedAnswers(m_ctx.settings)) {
        if (given.value(entry.first).isEmpty())
            list.append(entry);
    }
    const int count = SettingsStore::info(Key::FieldLabel).count;
    for (int i = 0; i < count; ++i) {
        m_ctx.settings.setValue(Key::FieldLabel, i < list.size() ? list[i].first : QString(), i + 1);
        m_ctx.settings.setValue(Key::FieldAnswer, i < list.size() ? list[i].second : QString(), i + 1);
    }
}
