#pragma once
// Works a modal window from inside its own message loop: `action` runs with the active modal
// widget as soon as one is shown.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

namespace testkit {

// The first modal window shown above `below`, itself modal (none: the first modal window).
inline void whenModalShowsAbove(QWidget* below, std::function<void(QWidget*)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, below, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == below || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

inline void whenModalShows(std::function<void(QWidget*)> action) {
    whenModalShowsAbove(nullptr, std::move(action));
}

// Types `text` into `widget` one key press per character, as a keyboard that has every
// character would (QTest::keyClicks only knows ASCII).
inline void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        const bool ascii = c.unicode() < 128;
        QTest::sendKeyEvent(QTest::Click, widget,
                            ascii ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
}

} // namespace testkit
