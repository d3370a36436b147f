#pragma once

// What the user does, through Qt Test: clicks, typing and focus moves.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPoint>
#include <QString>
#include <QTest>
#include <QWidget>

namespace vanter::testing {

// Lets queued work (exit checks, posted events) run.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// A click on the box itself, not on its text.
inline void clickIndicator(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Puts the focus into a control the way the user does.
inline void clickInto(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), widget);
}

// Types `text` one character at a time (any character, not only Latin-1).
inline void type(QWidget* widget, const QString& text) {
    for (const char32_t ch : text.toUcs4()) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&ch, 1),
                            Qt::NoModifier);
    }
}

// Clicks into an edit (or an editable list), selects all its text and types `text` over it.
inline void replaceText(QWidget* widget, const QString& text) {
    clickInto(widget);
    QTest::keyClick(widget, Qt::Key_End);
    QTest::keyClick(widget, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(widget, Qt::Key_Delete);
    type(widget, text);
}

// Leaves a control with Tab, and lets its exit check run.
inline void tabOut(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_Tab);
    settle();
}

// Opens a list with the mouse and picks an entry with the keys. Offscreen, Qt 5 leaves the
// closed list the active window: the caller activates its own window again.
inline void pick(QComboBox* combo, const QString& entry) {
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* view = combo->view();
    QTRY_VERIFY(view->isVisible());
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < combo->findText(entry); ++i) {
        QTest::keyClick(view, Qt::Key_Down);
    }
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(combo->currentText(), entry);
}

} // namespace vanter::testing
