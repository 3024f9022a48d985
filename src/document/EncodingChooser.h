#pragma once

#include "core/TextFileCodec.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QListWidget;

// A searchable list of the encodings a file can be read or written in: the
// Unicode ones and Windows-1252 first, then the legacy ones, common first.
// Typing narrows the list; Enter or a double click takes the chosen one.
class EncodingChooser : public QDialog
{
    Q_OBJECT

public:
    EncodingChooser(const QString &title, const TextFileCodec::FileFormat &current, QWidget *parent = nullptr);

    // The chosen encoding (and codec name), or nothing when cancelled.
    static std::optional<TextFileCodec::FileFormat> choose(const QString &title, const TextFileCodec::FileFormat &current,
                                                           QWidget *parent);

private:
    void filter(const QString &typed);

    QLineEdit *txtFilter = nullptr;
    QListWidget *lstEncodings = nullptr;
    QList<TextFileCodec::FileFormat> m_choices;
};
