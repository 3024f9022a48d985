#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QtTest>
#include <functional>

// Answers the first modal window that opens within five seconds. When none
// does, the test fails saying what it waited for, and every window is
// closed so that the call under test returns.
inline void whenModal(const char *what, std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    const QDeadlineTimer deadline(5000);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, deadline, what] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            // Answered once the dialog has finished showing, as a person would.
            QTimer::singleShot(50, modal, [modal, answer] { answer(modal); });
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            QTest::qFail(qPrintable(QStringLiteral("no %1 appeared within 5 s").arg(QLatin1String(what))), __FILE__, __LINE__);
            for (QWidget *w : QApplication::topLevelWidgets())
                w->close();
        }
    });
    timer->start();
}
