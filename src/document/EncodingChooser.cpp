#include "document/EncodingChooser.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QVBoxLayout>

using TextFileCodec::Encoding;
using TextFileCodec::FileFormat;

EncodingChooser::EncodingChooser(const QString &title, const FileFormat &current, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("Type to narrow the list"));
    txtFilter->setClearButtonEnabled(true);
    lstEncodings = new QListWidget(this);
    lstEncodings->setObjectName(QStringLiteral("lstEncodings"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtFilter);
    layout->addWidget(lstEncodings);
    layout->addWidget(buttons);

    // Every value of the enum but Legacy, which stands for the named ones.
    const QMetaEnum encodings = QMetaEnum::fromType<Encoding>();
    for (int i = 0; i < encodings.keyCount(); ++i) {
        if (Encoding(encodings.value(i)) != Encoding::Legacy)
            m_choices.append(FileFormat{Encoding(encodings.value(i)), current.lineEnd, current.finalBreak});
    }
    for (const QByteArray &codec : TextFileCodec::legacyEncodings())
        m_choices.append(FileFormat{Encoding::Legacy, current.lineEnd, current.finalBreak, codec});
    for (const FileFormat &f : m_choices) {
        auto *item = new QListWidgetItem(TextFileCodec::encodingName(f), lstEncodings);
        if (f.encoding == current.encoding && f.codec.compare(current.codec, Qt::CaseInsensitive) == 0)
            lstEncodings->setCurrentItem(item);
    }
    if (!lstEncodings->currentItem())
        lstEncodings->setCurrentRow(0);

    connect(txtFilter, &QLineEdit::textChanged, this, &EncodingChooser::filter);
    connect(lstEncodings, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(320, 420);
    txtFilter->setFocus();
}

void EncodingChooser::filter(const QString &typed)
{
    // "1251", "koi", "utf 16": every word typed is in the name.
    const QStringList words = typed.simplified().split(u' ', Qt::SkipEmptyParts);
    QListWidgetItem *first = nullptr;
    for (int i = 0; i < lstEncodings->count(); ++i) {
        QListWidgetItem *item = lstEncodings->item(i);
        bool shown = true;
        for (const QString &w : words)
            shown = shown && item->text().contains(w, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    if (first && (!lstEncodings->currentItem() || lstEncodings->currentItem()->isHidden()))
        lstEncodings->setCurrentItem(first);
}

std::optional<FileFormat> EncodingChooser::choose(const QString &title, const FileFormat &current, QWidget *parent)
{
    EncodingChooser dialog(title, current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QListWidgetItem *item = dialog.lstEncodings->currentItem();
    if (!item || item->isHidden())
        return std::nullopt;
    return dialog.m_choices.value(dialog.lstEncodings->row(item));
}
