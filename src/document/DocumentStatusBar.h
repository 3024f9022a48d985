#pragma once

#include <QStatusBar>

class StatusPanel;

// A document window's status bar ("stBar"): eight panels addressed by
// position (1 to 8) or by key ("fsize", "lngth", "Status", "sllen"), the
// first two showing the date and the time, and the caret's line and column
// at the right while the code view is on.
class DocumentStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit DocumentStatusBar(QWidget *parent);

    StatusPanel *panel(int position) const;
    StatusPanel *panel(const QString &key) const;
    StatusPanel *caret() const { return m_caret; }
    // The document's encoding and line breaks; a click offers to change them.
    StatusPanel *format() const { return m_format; }

private:
    QList<StatusPanel *> m_panels;
    StatusPanel *m_caret = nullptr;
    StatusPanel *m_format = nullptr;
};
