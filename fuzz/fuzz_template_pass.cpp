// The template pass over any text, answering from the input itself: no
// crash, and it ends (each answer is shorter than the text it came from).
#include "Harness.h"
#include "core/TemplatePass.h"

namespace {
struct Host : TemplatePass::Host {
    QString answers;
    QString t;
    int asked = 0;
    QString title() const override { return t; }
    void setTitle(const QString &title) override { t = title; }
    QString inputBox(const QString &, const QString &, const QString &defaultText) override
    {
        ++asked;
        return asked % 3 == 0 ? QString() : answers.left(asked % 7) + defaultText.left(3);
    }
    void message(const QString &) override {}
    QString whyNotFile(const QString &) const override { return QStringLiteral("Not Found"); }
    void open(const QString &) override {}
    void setText(const QString &) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Host host;
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    host.answers = text.left(16);
    TemplatePass::ExecuteTemplateTags(text, host);
    return 0;
}
