// What a screen reader finds in the window: a spoken name for every control that takes the
// focus, labels tied to their controls, the status text, and the text of a message box.

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <memory>
#include <vector>

#include "app/window_test_support.h"
#include "testing/qt/user_input.h"

using namespace vanter::app;
using namespace vanter::testing;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface == nullptr) {
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    }
    return iface;
}

// What a reader speaks to name a control: the label tied to it, else its own name. (On Linux a
// drop-down list's own name is the entry it shows.)
QString spokenName(QObject* object) {
    QAccessibleInterface* iface = accessible(object);
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? iface->text(QAccessible::Name)
                            : labels.front().first->text(QAccessible::Name);
}

// Depth-first search of the accessibility tree below `root` for `wanted`.
QAccessibleInterface* findInTree(QAccessibleInterface* root,
                                 const std::function<bool(QAccessibleInterface*)>& wanted) {
    if (root == nullptr) {
        return nullptr;
    }
    if (wanted(root)) {
        return root;
    }
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* found = findInTree(root->child(i), wanted)) {
            return found;
        }
    }
    return nullptr;
}

QAccessibleInterface* findRole(QObject* top, QAccessible::Role role) {
    return findInTree(QAccessible::queryAccessibleInterface(top),
                      [role](QAccessibleInterface* iface) { return iface->role() == role; });
}

} // namespace

class Accessibility : public WindowTestCase {
    Q_OBJECT

private:
private Q_SLOTS:
    void init() {
        // No default configuration file: slot #0 on, the others off.
        shown_ = std::make_unique<ShownWindow>();
    }
    void cleanup() { shown_.reset(); }

    void focusableControlsHaveUniqueNames();
    void namesSpoken_data();
    void namesSpoken();
    void labelsAreTiedToTheirControls();
    void offsetNameFollowsTheLabel();
    void statusTextIsExposed();
    void messageBoxTextIsExposed_data();
    void messageBoxTextIsExposed();
};

void Accessibility::focusableControlsHaveUniqueNames() {
    // Switched-off panels too: a reader lists them, greyed.
    QStringList seen;
    for (QWidget* widget : window().findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&window())) {
            continue;
        }
        // The edit inside the editable port list: the list holds the focus and speaks for it.
        if (qobject_cast<QComboBox*>(widget->parentWidget()) != nullptr) {
            continue;
        }
        const QString name = spokenName(widget);
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!seen.contains(name), qPrintable(widget->objectName() + u' ' + name));
        seen << name;
    }
    // Port, reset, six per unit, three buttons.
    QCOMPARE(seen.size(), 2 + 4 * 6 + 3);
}

void Accessibility::namesSpoken_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("PrinterCombo") << "Printer/USB";
    QTest::newRow("ResetCombo") << "Reset level";
    QTest::newRow("DownloadBut") << "Download";
    QTest::newRow("Check") << "Check";
    QTest::newRow("CloseBut") << "Close";
    for (int slot = 0; slot < 4; ++slot) {
        const QString unit = QStringLiteral("VANTER #%1").arg(slot);
        const auto row = [slot](const char* stem) -> QTestData& {
            return QTest::newRow(qPrintable(QString::fromLatin1(stem) + QString::number(slot + 1)));
        };
        row("Vanter") << unit;
        row("EpromCombo") << unit + " EPROM";
        row("FormatCombo") << unit + " File Format";
        row("AddrEdit") << unit + " Loading offset at EPROM socket";
        row("FilenameEdit") << unit + " Filename";
        row("BrowseBtn") << unit + " Browse";
    }
}

void Accessibility::namesSpoken() {
    QFETCH(QString, name);
    auto* control = shown_->find<QWidget>(QTest::currentDataTag());
    QVERIFY(control != nullptr);
    QCOMPARE(spokenName(control), name);
    QAccessibleInterface* iface = accessible(control);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // Where the platform names a list by itself (Windows), it has the same name.
        QCOMPARE(control->accessibleName(), name);
        QCOMPARE(iface->text(QAccessible::Value), combo->currentText());
    } else {
        QCOMPARE(iface->text(QAccessible::Name), name);
    }
}

void Accessibility::labelsAreTiedToTheirControls() {
    // A reader that follows the label relation finds the label beside each control.
    QList<std::pair<QLabel*, QWidget*>> pairs{{window().PrinterPort, window().PrinterCombo},
                                              {window().ResetLevel, window().ResetCombo}};
    for (int slot = 0; slot < 4; ++slot) {
        const UnitPanel::Controls& unit = window().unit(slot);
        pairs << std::pair<QLabel*, QWidget*>{unit.eprom, unit.epromCombo}
              << std::pair<QLabel*, QWidget*>{unit.fileFormat, unit.formatCombo}
              << std::pair<QLabel*, QWidget*>{unit.addrLabel, unit.addrEdit}
              << std::pair<QLabel*, QWidget*>{unit.filename, unit.filenameEdit};
    }
    for (const auto& [label, control] : pairs) {
        QCOMPARE(label->buddy(), control);
        const auto labels = accessible(control)->relations(QAccessible::Label);
        QVERIFY2(labels.size() == 1 && labels.front().first->object() == label,
                 qPrintable(control->objectName()));
        const auto labelled = accessible(label)->relations(QAccessible::Labelled);
        QVERIFY2(labelled.size() == 1 && labelled.front().first->object() == control,
                 qPrintable(label->objectName()));
    }
}

void Accessibility::offsetNameFollowsTheLabel() {
    // The user picks "Hex" in slot #0's format list from the keyboard.
    QComboBox* format = window().unit(0).formatCombo;
    QLineEdit* offset = window().unit(0).addrEdit;
    format->setFocus(Qt::TabFocusReason);
    QCOMPARE(format->currentText(), QStringLiteral("Binary"));
    QTest::keyClick(format, Qt::Key_Down);
    QCOMPARE(window().unit(0).addrLabel->text(), QStringLiteral("Target System address of EPROM"));
    QTRY_COMPARE(spokenName(offset), QStringLiteral("VANTER #0 Target System address of EPROM"));
    QCOMPARE(accessible(offset)->text(QAccessible::Name), spokenName(offset));
    // The other units keep their wording.
    QCOMPARE(spokenName(window().unit(1).addrEdit),
             QStringLiteral("VANTER #1 Loading offset at EPROM socket"));

    QTest::keyClick(format, Qt::Key_Up);
    QTRY_COMPARE(spokenName(offset), QStringLiteral("VANTER #0 Loading offset at EPROM socket"));
    QCOMPARE(accessible(offset)->text(QAccessible::Name), spokenName(offset));
}

void Accessibility::statusTextIsExposed() {
    QAccessibleInterface* bar = findRole(&window(), QAccessible::StatusBar);
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Status"));
    const auto statusText = [bar] {
        QAccessibleInterface* text = findInTree(bar, [](QAccessibleInterface* iface) {
            return iface->role() == QAccessible::StaticText;
        });
        return text ? text->text(QAccessible::Name) : QString();
    };
    QCOMPARE(statusText(), QStringLiteral("hello"));

    // A command's result: the reader finds the new text in the same place.
    shown_->driver.helloResult = 153;
    QTest::mouseClick(window().DownloadBut, Qt::LeftButton);
    QCOMPARE(statusText(), QStringLiteral("Can't find VANTER III(A)"));
    QCOMPARE(statusText(), window().statusText());
}

void Accessibility::messageBoxTextIsExposed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("refusal") << "No Vanter is selected: Abort!!" << kMbOk << QStringList{"OK"};
    QTest::newRow("question") << "Do you want to save the change?" << kMbYesNoCancel
                              << QStringList{"Yes", "No", "Cancel"};
}

void Accessibility::messageBoxTextIsExposed() {
    QFETCH(QString, text);
    QFETCH(int, flags);
    QFETCH(QStringList, buttons);
    // The box the program shows, built but not shown: the tree is there before it appears.
    std::unique_ptr<QMessageBox> box(
        makeMessageBox(&window(), text, QStringLiteral("VanterIII Message"), flags));
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(box.get());
    QCOMPARE(root->text(QAccessible::Name), QStringLiteral("VanterIII Message"));
    QVERIFY(findInTree(root, [&text](QAccessibleInterface* iface) {
        return iface->text(QAccessible::Name) == text;
    }));
    for (const QString& button : buttons) {
        QVERIFY2(findInTree(root,
                            [&button](QAccessibleInterface* iface) {
                                return iface->role() == QAccessible::Button &&
                                       iface->text(QAccessible::Name) == button;
                            }),
                 qPrintable(button));
    }
}

QTEST_MAIN(Accessibility)
#include "tst_accessibility.moc"
