#pragma once

#include <QString>

// A small RTF writer and reader for the text control's RTF form. The writer
// produces a plain one-font document; the reader takes the text out of any
// RTF (font and colour tables, pictures and "\*" destinations are skipped)
// and never fails: unknown or broken input gives whatever text it can.
namespace RtfCodec {

QString toRtf(const QString &text);
QString fromRtf(const QString &rtf);

} // namespace RtfCodec
