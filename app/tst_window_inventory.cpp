// The window as designed: every control's kind, name, text, place, size, tab order and
// properties, before any handler has run.

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTest>

#include "app/common/qt_compat.h"
#include "app/window_test_support.h"
#include "testing/qt/user_input.h"
#include "window_layout_script.h"

using namespace vanter::app;
using namespace vanter::testing;

namespace {

void noInitialisation(TVante3_0&) {}

} // namespace

class WindowInventory : public WindowTestCase {
    Q_OBJECT

private:
private Q_SLOTS:
    void init() { shown_ = std::make_unique<ShownWindow>(noInitialisation); }
    void cleanup() { shown_.reset(); }

    void controls_data();
    void controls();
    void labels_data();
    void labels();
    void tabOrder();
    void lists_data();
    void lists();
    void offsetEdits();
    void tooltips();
    void menus_data();
    void menus();
    void windowAsDesigned();
    void windowOnTheScreen();
    void clientArea();
    void resizing();
    void font();
    void publishedReference();
    void layoutScript();
};

void WindowInventory::controls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* kind, QRect geometry, const char* text) {
        QTest::newRow(name) << kind << geometry << text;
    };
    // As designed, pixel by pixel: the right-hand panels' lists stand at 376, not 105 + 272.
    row("Bevel1", "QFrame", {0, 0, 553, 2}, "");
    row("PrinterCombo", "QComboBox", {96, 19, 75, 21}, "");
    row("ResetCombo", "QComboBox", {368, 19, 75, 21}, "");
    row("DownloadBut", "QPushButton", {100, 435, 75, 25}, "Download");
    row("Check", "QPushButton", {235, 435, 75, 25}, "Check");
    row("CloseBut", "QPushButton", {370, 435, 75, 25}, "&Close");
    row("Bevel2", "QFrame", {8, 62, 257, 161}, "");
    row("Bevel3", "QFrame", {280, 62, 257, 161}, "");
    row("Bevel4", "QFrame", {8, 254, 257, 161}, "");
    row("Bevel5", "QFrame", {280, 254, 257, 161}, "");
    row("Vanter1", "QCheckBox", {24, 55, 81, 17}, "VANTER #0");
    row("Vanter2", "QCheckBox", {296, 55, 81, 17}, "VANTER #1");
    row("Vanter3", "QCheckBox", {24, 247, 81, 17}, "VANTER #2");
    row("Vanter4", "QCheckBox", {296, 247, 81, 17}, "VANTER #3");
    row("EpromCombo1", "QComboBox", {105, 86, 65, 21}, "");
    row("EpromCombo2", "QComboBox", {376, 86, 65, 21}, "");
    row("EpromCombo3", "QComboBox", {105, 278, 65, 21}, "");
    row("EpromCombo4", "QComboBox", {376, 278, 65, 21}, "");
    row("FormatCombo1", "QComboBox", {105, 110, 65, 21}, "");
    row("FormatCombo2", "QComboBox", {376, 110, 65, 21}, "");
    row("FormatCombo3", "QComboBox", {105, 302, 65, 21}, "");
    row("FormatCombo4", "QComboBox", {376, 302, 65, 21}, "");
    row("AddrEdit1", "QLineEdit", {200, 130, 60, 21}, "");
    row("AddrEdit2", "QLineEdit", {472, 130, 60, 21}, "");
    row("AddrEdit3", "QLineEdit", {200, 322, 60, 21}, "");
    row("AddrEdit4", "QLineEdit", {472, 322, 60, 21}, "");
    row("FilenameEdit1", "QLineEdit", {72, 158, 177, 21}, "");
    row("FilenameEdit2", "QLineEdit", {344, 158, 177, 21}, "");
    row("FilenameEdit3", "QLineEdit", {72, 350, 177, 21}, "");
    row("FilenameEdit4", "QLineEdit", {344, 350, 177, 21}, "");
    row("BrowseBtn1", "QPushButton", {179, 188, 70, 25}, "Browse...");
    row("BrowseBtn2", "QPushButton", {451, 188, 70, 25}, "Browse...");
    row("BrowseBtn3", "QPushButton", {179, 380, 70, 25}, "Browse...");
    row("BrowseBtn4", "QPushButton", {451, 380, 70, 25}, "Browse...");
}

void WindowInventory::controls() {
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    auto* control = shown_->find<QWidget>(QTest::currentDataTag());
    QVERIFY(control != nullptr);
    QCOMPARE(control->metaObject()->className(), kind);
    QCOMPARE(control->parentWidget(), window().centralWidget());
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QCOMPARE(combo->currentText(), text);
        QCOMPARE(combo->currentIndex(), -1);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->text(), text);
    }
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        QVERIFY(!box->isChecked());
    }
}

void WindowInventory::labels_data() {
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, QPoint position, const char* text) {
        QTest::newRow(name) << position << text;
    };
    row("PrinterPort", {20, 23}, "Printer/USB");
    row("ResetLevel", {292, 23}, "Reset level");
    row("Eprom1", {40, 88}, "EPROM:");
    row("Eprom2", {312, 88}, "EPROM:");
    row("Eprom3", {40, 280}, "EPROM:");
    row("Eprom4", {312, 280}, "EPROM:");
    row("FileFormat1", {40, 112}, "File Format:");
    row("FileFormat2", {312, 112}, "File Format:");
    row("FileFormat3", {40, 304}, "File Format:");
    row("FileFormat4", {312, 304}, "File Format:");
    row("AddrLabel1", {24, 135}, "Loading offset at EPROM socket:");
    row("AddrLabel2", {296, 135}, "Loading offset at EPROM socket:");
    row("AddrLabel3", {24, 327}, "Loading offset at EPROM socket:");
    row("AddrLabel4", {296, 327}, "Loading offset at EPROM socket:");
    row("Filename1", {24, 160}, "Filename:");
    row("Filename2", {296, 160}, "Filename:");
    row("Filename3", {24, 352}, "Filename:");
    row("Filename4", {296, 352}, "Filename:");
}

void WindowInventory::labels() {
    QFETCH(QPoint, position);
    QFETCH(QString, text);
    auto* label = shown_->find<QLabel>(QTest::currentDataTag());
    QVERIFY(label != nullptr);
    QCOMPARE(label->parentWidget(), window().centralWidget());
    QCOMPARE(label->pos(), position);
    QCOMPARE(label->text(), text);
    // Labels size themselves to their text, also when it changes.
    QCOMPARE(label->size(), label->sizeHint());
    label->setText(text + QStringLiteral(" and a good deal longer"));
    QTRY_COMPARE(label->size(), label->sizeHint());
    QCOMPARE(label->pos(), position);
}

void WindowInventory::tabOrder() {
    // Switch every panel on so that each control takes the focus.
    for (int slot = 0; slot < 4; ++slot) {
        window().unit(slot).vanter->setChecked(true);
    }
    QStringList expected{"PrinterCombo", "ResetCombo"};
    for (int n = 1; n <= 4; ++n) {
        for (const char* stem :
             {"Vanter", "EpromCombo", "FormatCombo", "AddrEdit", "FilenameEdit", "BrowseBtn"}) {
            expected << QString::fromLatin1(stem) + QString::number(n);
        }
    }
    expected << "DownloadBut"
             << "CloseBut"
             << "Check"
             << "PrinterCombo";

    window().PrinterCombo->setFocus(Qt::OtherFocusReason);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);

    // Labels and frames never take the focus.
    for (QLabel* label : window().centralWidget()->findChildren<QLabel*>()) {
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }
    for (const char* bevel : {"Bevel1", "Bevel2", "Bevel3", "Bevel4", "Bevel5"}) {
        QCOMPARE(shown_->find<QFrame>(bevel)->focusPolicy(), Qt::NoFocus);
    }
}

void WindowInventory::lists_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("dropDownCount");
    QTest::addColumn<bool>("editable");
    const QStringList memory{"2764",  "27128",  "27256",  "27512", "27010",
                             "27020", "27040",  "28F040", "27080", "6264",
                             "62256", "621000", "624000", "16M",   "32M"};
    QTest::newRow("PrinterCombo") << QStringList{"0x3BC", "0x378", "0x278", "0x368", "USB"} << 5
                                  << true;
    QTest::newRow("ResetCombo") << QStringList{"Low", "High"} << 8 << false;
    for (int n = 1; n <= 4; ++n) {
        QTest::newRow(qPrintable(QStringLiteral("EpromCombo%1").arg(n))) << memory << 9 << false;
        QTest::newRow(qPrintable(QStringLiteral("FormatCombo%1").arg(n)))
            << QStringList{"Binary", "Hex", "S-record"} << 8 << false;
    }
}

void WindowInventory::lists() {
    QFETCH(QStringList, entries);
    QFETCH(int, dropDownCount);
    QFETCH(bool, editable);
    auto* combo = shown_->find<QComboBox>(QTest::currentDataTag());
    QVERIFY(combo != nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    QCOMPARE(items, entries);
    QCOMPARE(combo->maxVisibleItems(), dropDownCount);
    QCOMPARE(combo->isEditable(), editable);
    if (editable) {
        // Typed ports stay what was typed: no insertion into the list, no completion.
        QCOMPARE(combo->insertPolicy(), QComboBox::NoInsert);
        QVERIFY(combo->completer() == nullptr);
        combo->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(combo, QStringLiteral("0x3b"));
        QCOMPARE(combo->currentText(), QStringLiteral("0x3b"));
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->count(), entries.size());
        QCOMPARE(combo->currentText(), QStringLiteral("0x3b"));
    }

    // The opened list shows that many entries and scrolls, whether the style opens pick-only
    // lists as menus of all their entries (Fusion) or not (Windows).
    const QString style = QApplication::style()->objectName();
    const auto restore = qScopeGuard([&] { QApplication::setStyle(style); });
    for (const char* name : {"Fusion", "Windows"}) {
        QApplication::setStyle(QString::fromLatin1(name));
        shown_ = std::make_unique<ShownWindow>(noInitialisation);
        combo = shown_->find<QComboBox>(QTest::currentDataTag());
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        int shown = 0;
        for (int row = 0; row < combo->count(); ++row) {
            const QRect item = view->visualRect(view->model()->index(row, 0));
            shown += item.top() >= 0 && item.bottom() < view->viewport()->height() ? 1 : 0;
        }
        QVERIFY2(shown == std::min<int>(dropDownCount, int(entries.size())), name);
        combo->hidePopup();
    }
}

void WindowInventory::offsetEdits() {
    TVante3_0& w = window();
    w.unit(0).vanter->setChecked(true);
    QLineEdit* edit = w.unit(0).addrEdit;
    edit->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(edit, QStringLiteral("0123456789AB"));
    QCOMPARE(edit->text(), QStringLiteral("0123456789"));

    // Within the limit it edits as any edit: caret, selection and undo.
    w.panel(0).showOffset(QStringLiteral("0x0000"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClicks(edit, QStringLiteral("12"));
    QCOMPARE(edit->text(), QStringLiteral("0x120000"));
    QCOMPARE(edit->cursorPosition(), 4);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("0x1000"));
    QCOMPARE(edit->cursorPosition(), 3);
    QTest::keyClick(edit, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClicks(edit, QStringLiteral("F0123456789"));
    QCOMPARE(edit->text(), QStringLiteral("0x1F012345"));
    for (int i = 0; i < 5 && edit->text() != QLatin1String("0x0000"); ++i) {
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(edit->text(), QStringLiteral("0x0000"));

    // A longer text set by the program (read from a file) is shown whole; typing may shorten
    // it but not lengthen it.
    const QString loaded = QString(79, u'0');
    w.panel(0).showOffset(loaded);
    QCOMPARE(edit->text(), loaded);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_1);
    QCOMPARE(edit->text(), loaded);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text().size(), 78);

    // Of a longer paste, what fits stays: its first characters, the caret behind them; also
    // over a selection in the middle.
    QGuiApplication::clipboard()->setText(QStringLiteral("0123456789ABC"));
    w.panel(0).showOffset(QString());
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("0123456789"));
    QCOMPARE(edit->cursorPosition(), 10);
    w.panel(0).showOffset(QStringLiteral("FEDC"));
    edit->setSelection(1, 1);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("F0123456DC"));
    QCOMPARE(edit->cursorPosition(), 8);

    // File name edits have no length limit.
    QLineEdit* name = w.unit(0).filenameEdit;
    name->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(name, QStringLiteral("/a/rather/long/path/to/an/image.hex"));
    QCOMPARE(name->text(), QStringLiteral("/a/rather/long/path/to/an/image.hex"));
}

void WindowInventory::tooltips() {
    for (QWidget* widget : window().findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name == QLatin1String("AddrEdit2")) {
            QCOMPARE(widget->toolTip(), QStringLiteral("Hex number(i.e. FFF0)"));
        } else if (name.startsWith(QLatin1String("AddrEdit"))) {
            QCOMPARE(widget->toolTip(), QStringLiteral("HEX number(i.e. FFF0)"));
        } else {
            QVERIFY2(widget->toolTip().isEmpty(), qPrintable(name));
        }
    }
}

void WindowInventory::menus_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("New1") << "File1"
                          << "&New" << QKeySequence::fromString(QStringLiteral("Ctrl+N"));
    QTest::newRow("Open1") << "File1"
                           << "&Open..." << QKeySequence::fromString(QStringLiteral("Ctrl+O"));
    QTest::newRow("Save1") << "File1"
                           << "&Save" << QKeySequence::fromString(QStringLiteral("Ctrl+S"));
    QTest::newRow("SaveAs1") << "File1"
                             << "Save &As..." << QKeySequence::fromString(QStringLiteral("Ctrl+A"));
    QTest::newRow("N2") << "File1"
                        << "" << QKeySequence();
    QTest::newRow("Exit1") << "File1"
                           << "E&xit" << QKeySequence();
    QTest::newRow("Contents1") << "Help1"
                               << "&Contents" << QKeySequence::fromString(QStringLiteral("Ctrl+H"));
    QTest::newRow("About1") << "Help1"
                            << "&About..." << QKeySequence();
}

void WindowInventory::menus() {
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);
    auto* bar = shown_->find<QMenuBar>("MainMenu");
    QVERIFY(bar != nullptr);
    QCOMPARE(window().menuBar(), bar);
    auto* owner = shown_->find<QMenu>(qPrintable(menu));
    QVERIFY(owner != nullptr);
    auto* action = shown_->find<QAction>(QTest::currentDataTag());
    QVERIFY(action != nullptr);
    QVERIFY(owner->actions().contains(action));
    QCOMPARE(action->isSeparator(), text.isEmpty());
    QCOMPARE(action->text(), text);
    QCOMPARE(action->shortcut(), shortcut);
    QVERIFY(action->isEnabled());

    QList<QAction*> order = owner->actions();
    if (menu == QLatin1String("File1")) {
        QStringList names;
        for (QAction* a : order) {
            names << a->objectName();
        }
        QCOMPARE(names, (QStringList{"New1", "Open1", "Save1", "SaveAs1", "N2", "Exit1"}));
    }
    QStringList titles;
    for (QAction* a : bar->actions()) {
        titles << a->text();
    }
    QCOMPARE(titles, (QStringList{"&IniFile", "&Help"}));
}

void WindowInventory::windowAsDesigned() {
    TVante3_0& w = window();
    QCOMPARE(w.windowTitle(), QStringLiteral("VANTER III  v3.b3  -- Untitled.in3"));
    QCOMPARE(w.pos(), QPoint(218, 18));
    QCOMPARE(w.statusText(), QStringLiteral("hello"));
    auto* bar = shown_->find<QStatusBar>("StatusBar");
    QVERIFY(bar != nullptr);
    QCOMPARE(w.statusBar(), bar);
    QVERIFY(bar->isSizeGripEnabled());
    QVERIFY(w.findChild<QObject*>(QStringLiteral("OpenDialog")) != nullptr);
    QVERIFY(w.findChild<QObject*>(QStringLiteral("SaveDialog")) != nullptr);
    QVERIFY(w.OpenDialog->fileName().isEmpty());
    QVERIFY(w.SaveDialog->fileName().isEmpty());
    QVERIFY(w.currentFileName().isEmpty());
    // The application icon: one 32 x 32 picture.
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
    // Every panel starts switched on, with its boxes unchecked.
    for (int slot = 0; slot < 4; ++slot) {
        QVERIFY(w.unit(slot).addrEdit->isEnabled());
        QVERIFY(w.unit(slot).browseBtn->isEnabled());
    }
}

// Also run scaled up on the small offscreen screen, as at 150 % on 1024 x 768: the designed
// place where the window fits, else the whole window on the screen's available area, or its
// top left corner where the window is larger than that.
void WindowInventory::windowOnTheScreen() {
    TVante3_0& w = window();
    const QRect available = w.screen()->availableGeometry();
    const QRect frame = w.frameGeometry();
    if (available.contains(QRect(QPoint(218, 18), frame.size()))) {
        QCOMPARE(w.pos(), QPoint(218, 18));
    } else {
        // Along each side: wholly on the area, or from its start where the window is larger.
        const auto onArea = [](int at, int size, int first, int room) {
            return size > room ? at == first : at >= first && at + size <= first + room;
        };
        QVERIFY(onArea(frame.left(), frame.width(), available.left(), available.width()));
        QVERIFY(onArea(frame.top(), frame.height(), available.top(), available.height()));
    }
}

void WindowInventory::clientArea() {
    TVante3_0& w = window();
    const int menuHeight = w.menuBar()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(w.size(), QSize(553, menuHeight + 498));
    QCOMPARE(w.centralWidget()->geometry(), QRect(0, menuHeight, 553, 476));
    // The status bar is the bottom 22 pixels of the client area, at 0, 476.
    QCOMPARE(w.statusBar()->geometry(), QRect(0, menuHeight + 476, 553, 22));
}

void WindowInventory::resizing() {
    TVante3_0& w = window();
    const QRect download = w.DownloadBut->geometry();
    const QRect edit = w.unit(3).filenameEdit->geometry();
    w.resize(800, 700);
    QTRY_COMPARE(w.centralWidget()->width(), 800);
    QCOMPARE(w.Bevel1->geometry(), QRect(0, 0, 800, 2));
    QCOMPARE(w.statusBar()->width(), 800);
    QCOMPARE(w.statusBar()->y() + w.statusBar()->height(), 700);
    QCOMPARE(w.DownloadBut->geometry(), download);
    QCOMPARE(w.unit(3).filenameEdit->geometry(), edit);
}

void WindowInventory::font() {
    const QFontInfo info(window().DownloadBut->font());
    QCOMPARE(window().font().pointSize(), 8);
    QCOMPARE(info.pointSize(), 8);
    const QStringList designFonts{"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans Condensed",
                                  "Liberation Sans", "Arial"};
    const QString family = info.family().section(QStringLiteral(" ["), 0, 0);
    QVERIFY2(designFonts.contains(family) || family == QFontInfo(QApplication::font()).family(),
             qPrintable(family));
    for (QWidget* control : window().centralWidget()->findChildren<QWidget*>()) {
        QCOMPARE(control->font(), window().font());
    }
}

void WindowInventory::publishedReference() {
    QCOMPARE(Vante3_0, &window());
    shown_.reset();
    QVERIFY(Vante3_0 == nullptr);
}

// The scripts that drive the window on a display take its captions, client area and the places
// of what they click from testing/window_layout.sh: each value there is the window's own, and
// every control it names is one of the window's.
void WindowInventory::layoutScript() {
    QMap<QString, QString> script;
    const QRegularExpression assignment(QStringLiteral("^(\\w+)='?([^']*)'?$"));
    for (const QString& line : QString::fromUtf8(kWindowLayoutScript).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = assignment.match(line);
        if (match.hasMatch()) {
            script.insert(match.captured(1), match.captured(2));
        }
    }
    // As the program starts it: the file commands set the message box's caption.
    shown_.reset();
    shown_ = std::make_unique<ShownWindow>();
    TVante3_0& w = window();
    QMap<QString, QString> actual{
        {QStringLiteral("window_caption_prefix"), fromLatin1(kCaptionFixedPart)},
        {QStringLiteral("window_untitled_caption"), w.windowTitle()},
        {QStringLiteral("window_message_caption"), w.messageCaption()},
        {QStringLiteral("window_error_caption"), QString::fromLatin1(kApplicationTitle)},
        {QStringLiteral("window_client_width"), QString::number(w.width())},
        {QStringLiteral("window_client_height"),
         QString::number(w.height() - w.menuBar()->height())},
    };
    const QString control = QStringLiteral("control_");
    for (const QString& name : script.keys()) {
        if (!name.startsWith(control)) {
            continue;
        }
        const auto* widget = w.centralWidget()->findChild<QWidget*>(name.mid(control.size()));
        QVERIFY2(widget != nullptr, qPrintable(name));
        const QRect r = widget->geometry();
        actual.insert(
            name,
            QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    }
    QCOMPARE(script.keys(), actual.keys());
    for (const QString& name : script.keys()) {
        QVERIFY2(script.value(name) == actual.value(name),
                 qPrintable(name + QStringLiteral(": '") + script.value(name) +
                            QStringLiteral("' in the script, '") + actual.value(name) +
                            QStringLiteral("' in the window")));
    }
}

QTEST_MAIN(WindowInventory)
#include "tst_window_inventory.moc"
