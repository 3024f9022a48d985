#include "document/DocumentStatusBar.h"

#include "document/StatusClock.h"
#include "ui/StatusPanel.h"

namespace {

struct PanelEntry {
    const char *key; // "" for a panel addressed by position only
    const char *text;
};

constexpr PanelEntry kPanels[8] = {
    {"fsize", ""}, {"", ""}, {"lngth", "Length: 0"}, {"Status", "Status"},
    {"", ""},      {"", "CAPS"}, {"", "INS"},       {"sllen", ""},
};

} // namespace

DocumentStatusBar::DocumentStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("stBar"));
    setSizeGripEnabled(false);
    for (int i = 0; i < 8; ++i) {
        auto *label = new StatusPanel(QString::fromLatin1(kPanels[i].text), this);
        label->setObjectName(QStringLiteral("stBarPanel%1").arg(i + 1));
        label->setProperty("Key", QString::fromLatin1(kPanels[i].key));
        addWidget(label, i == 7 ? 1 : 0);
        m_panels << label;
    }
    m_caret = new StatusPanel(QString(), this);
    m_caret->setObjectName(QStringLiteral("stBarCaret"));
    addPermanentWidget(m_caret);
    m_caret->hide();
    m_format = new StatusPanel(QString(), this);
    m_format->setObjectName(QStringLiteral("stBarFormat"));
    addPermanentWidget(m_format);
    const StatusClock &clock = StatusClock::instance();
    auto showClock = [this, &clock] {
        m_panels[0]->setText(clock.date());
        m_panels[1]->setText(clock.time());
    };
    showClock();
    connect(&clock, &StatusClock::changed, this, showClock);
}

StatusPanel *DocumentStatusBar::panel(int position) const
{
    return m_panels.value(position - 1);
}

StatusPanel *DocumentStatusBar::panel(const QString &key) const
{
    for (StatusPanel *label : m_panels) {
        if (label->property("Key").toString() == key)
            return label;
    }
    return nullptr;
}
