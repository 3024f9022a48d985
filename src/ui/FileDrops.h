#pragma once

#include <QStringList>

class QDropEvent;
class QMimeData;

// Windows that take files dragged onto them take only local files.
namespace FileDrops {

// The local files carried by dragged data, in the order it lists them.
QStringList files(const QMimeData *mime);

// For drag enter and drag move events: accepts the drag when it carries
// files, refuses it otherwise. Returns whether it was accepted.
bool acceptFiles(QDropEvent *e);

// For the drop event: the dropped files, with the drop accepted; nothing,
// and the drop refused, when it carries none.
QStringList take(QDropEvent *e);

} // namespace FileDrops
