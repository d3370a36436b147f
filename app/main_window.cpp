#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>

#include <algorithm>
#include <string>

#include "app/common/form_controls.h"
#include "app/common/qt_compat.h"
#include "app/filecmds/file_commands.h"
#include "emulator/commands.h"
#include "event_rules.h"
#include "vanter_icon.xpm"

TVante3_0* Vante3_0 = nullptr;

namespace {

using vanter::app::fill;
using vanter::app::fromLocal8Bit;
using vanter::app::kMbOk;
using vanter::app::local8Bit;
using vanter::app::makeCombo;
using vanter::app::makeControl;
using vanter::app::makeLabel;

// The client area below the menu bar, the status bar taking its bottom 22 pixels.
constexpr int kClientWidth = 553;
constexpr int kClientHeight = 498;
constexpr int kStatusBarHeight = 22;

// Window-text font of every control: the classic 8 point dialog font where the system has it,
// else a sans-serif of nearly the same metrics (DejaVu Sans Condensed at 8 point sets the
// designed label texts within a pixel), else the system's sans-serif. The family is picked from
// the installed ones: asking for an absent family costs a fallback search at start-up.
QFont windowFont() {
    const QStringList installed = vanter::app::installedFontFamilies();
    QFont font = QApplication::font();
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans Condensed",
                               "Liberation Sans", "Arial"}) {
        if (installed.contains(QLatin1String(family))) {
            font = QFont(QString::fromLatin1(family));
            break;
        }
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// The application's style, except that every drop-down list opens as a list of its designed
// number of entries that scrolls, also where the style would open a pick-only list as a menu of
// all its entries (Fusion).
class ScrollingListStyle final : public QProxyStyle {
public:
    explicit ScrollingListStyle(QObject* owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->objectName())) {
        setParent(owner);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ComboBox_Popup) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TVante3_0::Published::Published(TVante3_0* window) : window(window) {
    Vante3_0 = window;
}

TVante3_0::Published::~Published() {
    if (Vante3_0 == window) {
        Vante3_0 = nullptr;
    }
}

TVante3_0::TVante3_0(vanter::app::Dialogs& dialogs, vanter::Driver& driver,
                     Initialisation initialisation, QWidget* parent)
    : QMainWindow(parent), published_(this), dialogs_(dialogs), driver_(driver) {
    buildWindow();
    fileCommands_ = std::make_unique<vanter::app::FileCommands>(*this, *OpenDialog, *SaveDialog);
    connectHandlers();

    currentFileName_.clear();
    if (initialisation) {
        initialisation(*this);
    } else {
        fileCommands_->initialise();
    }
}

TVante3_0::~TVante3_0() {
    // The rules watch the whole application; they go before the controls they refer to.
    delete eventRules_;
    eventRules_ = nullptr;
}

void TVante3_0::buildWindow() {
    setObjectName(QStringLiteral("Vante3_0"));
    setWindowTitle(vanter::app::fromLatin1(vanter::app::kCaptionFixedPart) +
                   QStringLiteral("Untitled.in3"));
    setWindowIcon(QIcon(QPixmap(vanter_icon_xpm)));
    setFont(windowFont());

    OpenDialog = new vanter::app::FileDialog(vanter::app::FileDialog::Kind::Open, dialogs_, this,
                                             QStringLiteral("OpenDialog"));
    SaveDialog = new vanter::app::FileDialog(vanter::app::FileDialog::Kind::Save, dialogs_, this,
                                             QStringLiteral("SaveDialog"));

    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);

    buildTopRow(client_);
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        panels_.at(static_cast<std::size_t>(slot)) =
            std::make_unique<vanter::app::UnitPanel>(client_, slot, *OpenDialog);
    }
    buildBottomRow(client_);
    auto* listStyle = new ScrollingListStyle(this);
    for (QComboBox* combo : client_->findChildren<QComboBox*>()) {
        combo->setStyle(listStyle);
    }
    buildMenus();
    buildStatusBar();
    setTabOrder();
    nameControls();

    // Like the designed form, the window has no minimum size of its own.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    // The designed client area lies below the menu bar, whose height depends on the style.
    resize(kClientWidth, MainMenu->sizeHint().height() + kClientHeight);
    move(218, 18);
}

void TVante3_0::buildTopRow(QWidget* client) {
    Bevel1 = makeControl<QFrame>(client, "Bevel1", 0, 0, kClientWidth, 2);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    PrinterPort = makeLabel(client, "PrinterPort", QStringLiteral("Printer/USB"), 20, 23);
    PrinterCombo = makeCombo(client, "PrinterCombo", 96, 19, 75, 5);
    PrinterCombo->setEditable(true);
    // Enter must not add the typed port to the list, nor completion change what was typed.
    PrinterCombo->setInsertPolicy(QComboBox::NoInsert);
    PrinterCombo->setCompleter(nullptr);
    fill(PrinterCombo, vanter::kPortEntries);

    ResetLevel = makeLabel(client, "ResetLevel", QStringLiteral("Reset level"), 292, 23);
    ResetCombo = makeCombo(client, "ResetCombo", 368, 19, 75, 8);
    fill(ResetCombo, vanter::kResetEntries);
}

void TVante3_0::buildBottomRow(QWidget* client) {
    DownloadBut = makeControl<QPushButton>(client, "DownloadBut", 100, 435, 75, 25);
    DownloadBut->setText(QStringLiteral("Download"));
    // Marks it as the default button for the style; Enter itself is handled by EventRules.
    DownloadBut->setDefault(true);
    Check = makeControl<QPushButton>(client, "Check", 235, 435, 75, 25);
    Check->setText(QStringLiteral("Check"));
    CloseBut = makeControl<QPushButton>(client, "CloseBut", 370, 435, 75, 25);
    CloseBut->setText(QStringLiteral("&Close"));
    for (QPushButton* button : {DownloadBut, Check, CloseBut}) {
        button->setAutoDefault(false);
    }
}

void TVante3_0::buildMenus() {
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    setMenuBar(MainMenu);

    const auto item = [](QMenu* menu, const char* name, const QString& text,
                         const QKeySequence& key) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        return action;
    };
    const QKeySequence none;
    const auto ctrl = [](Qt::Key key) {
        return vanter::app::keyChord(Qt::ControlModifier, key);
    };

    File1 = MainMenu->addMenu(QStringLiteral("&IniFile"));
    File1->setObjectName(QStringLiteral("File1"));
    New1 = item(File1, "New1", QStringLiteral("&New"), ctrl(Qt::Key_N));
    Open1 = item(File1, "Open1", QStringLiteral("&Open..."), ctrl(Qt::Key_O));
    Save1 = item(File1, "Save1", QStringLiteral("&Save"), ctrl(Qt::Key_S));
    SaveAs1 = item(File1, "SaveAs1", QStringLiteral("Save &As..."), ctrl(Qt::Key_A));
    N2 = File1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    Exit1 = item(File1, "Exit1", QStringLiteral("E&xit"), none);

    Help1 = MainMenu->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Contents1 = item(Help1, "Contents1", QStringLiteral("&Contents"), ctrl(Qt::Key_H));
    About1 = item(Help1, "About1", QStringLiteral("&About..."), none);
}

void TVante3_0::buildStatusBar() {
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFixedHeight(kStatusBarHeight);
    StatusBar->setSizeGripEnabled(true);
    // One simple panel over the whole width; a permanent widget so that no status tip hides it.
    statusPanel_ = new QLabel(QStringLiteral("hello"), StatusBar);
    statusPanel_->setObjectName(QStringLiteral("SimplePanel"));
    StatusBar->addPermanentWidget(statusPanel_, 1);
    setStatusBar(StatusBar);
}

void TVante3_0::setTabOrder() {
    QList<QWidget*> order{PrinterCombo, ResetCombo};
    for (const auto& panel : panels_) {
        order << panel->tabOrder();
    }
    order << DownloadBut << CloseBut << Check;
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

// What a screen reader speaks for each control outside the unit panels (which name their own):
// the label beside it; the label is the control's buddy.
void TVante3_0::nameControls() {
    PrinterPort->setBuddy(PrinterCombo);
    PrinterCombo->setAccessibleName(PrinterPort->text());
    ResetLevel->setBuddy(ResetCombo);
    ResetCombo->setAccessibleName(ResetLevel->text());
    // The panel inside keeps no name of its own: its name is the status text, which is what a
    // reader speaks, and the label announces each new text itself (NameChanged).
    StatusBar->setAccessibleName(QStringLiteral("Status"));
}

void TVante3_0::connectHandlers() {
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        vanter::app::UnitPanel* unitPanel = &panel(slot);
        connect(unitPanel, &vanter::app::UnitPanel::switchToggled, this,
                [this, slot] { VanterClick(slot); });
        connect(unitPanel, &vanter::app::UnitPanel::formatPicked, this,
                [this, slot] { FormatComboChange(slot); });
        connect(unitPanel, &vanter::app::UnitPanel::browseClicked, this,
                [this, slot] { BrowseBtnClick(slot); });
        connect(unitPanel, &vanter::app::UnitPanel::rejected, this,
                [this](const QString& text) { messageBox(text); });
    }
    connect(DownloadBut, &QPushButton::clicked, this, [this] { DownloadButClick(); });
    connect(Check, &QPushButton::clicked, this, [this] { CheckClick(); });
    connect(CloseBut, &QPushButton::clicked, this, [this] { CloseButClick(); });
    connect(New1, &QAction::triggered, this, [this] { New1Click(); });
    connect(Open1, &QAction::triggered, this, [this] { Open1Click(); });
    connect(Save1, &QAction::triggered, this, [this] { Save1Click(); });
    connect(SaveAs1, &QAction::triggered, this, [this] { SaveAs1Click(); });
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });

    eventRules_ = new vanter::app::EventRules(this, client_, DownloadBut, [this](QWidget* edit) {
        for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
            if (edit == unit(slot).addrEdit) {
                AddrEditExit(slot);
            } else if (edit == unit(slot).filenameEdit) {
                FilenameEditChange(slot);
            }
        }
    });
    eventRules_->addMenuActions(File1->actions() + Help1->actions());
    for (const auto& unitPanel : panels_) {
        eventRules_->watchExit(unitPanel->controls().addrEdit);
        eventRules_->watchExit(unitPanel->controls().filenameEdit);
    }
}

bool TVante3_0::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_) {
        switch (event->type()) {
        case QEvent::Resize:
            // The separator under the menu bar spans the width; everything else stays put.
            Bevel1->resize(client_->width(), Bevel1->height());
            break;
        case QEvent::LayoutRequest:
        case QEvent::Show:
            // A label's text changed: labels size themselves to their text.
            fitLabels();
            for (const auto& unitPanel : panels_) {
                unitPanel->nameLabelledControls();
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TVante3_0::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!placed_) {
        placed_ = true;
        placeOnScreen();
    }
}

void TVante3_0::placeOnScreen() {
    // Scaled up (150 % on a small screen) the designed place may put the window partly off the
    // screen. One too large for the screen keeps its top left corner (the title bar) on it.
    const QScreen* where = QGuiApplication::screenAt(frameGeometry().topLeft());
    if (where == nullptr) {
        where = screen();
    }
    const QRect available = where->availableGeometry();
    const QRect frame = frameGeometry();
    if (available.contains(frame)) {
        return;
    }
    const auto onto = [](int at, int size, int first, int room) {
        return std::max(first, std::min(at, first + room - size));
    };
    move(onto(frame.left(), frame.width(), available.left(), available.width()),
         onto(frame.top(), frame.height(), available.top(), available.height()));
}

void TVante3_0::fitLabels() {
    for (QLabel* label : client_->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->size() != label->sizeHint()) {
            label->resize(label->sizeHint());
        }
    }
}

vanter::Configuration TVante3_0::configuration() const {
    vanter::Configuration config;
    config.port = local8Bit(PrinterCombo->currentText());
    config.resetLevel = vanter::app::listPosition(vanter::kResetEntries, ResetCombo->currentText());
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        config.slots.at(static_cast<std::size_t>(slot)) = panel(slot).settings();
    }
    return config;
}

void TVante3_0::showPortAndReset(const vanter::Configuration& config) {
    // The entry the reader picked is selected; any other text is shown as it was formed, also
    // one that names an entry in other letters ("0x3bc").
    const int port = PrinterCombo->findText(fromLocal8Bit(config.port),
                                            Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (port >= 0) {
        PrinterCombo->setCurrentIndex(port);
    } else {
        PrinterCombo->setCurrentIndex(-1);
        PrinterCombo->setEditText(fromLocal8Bit(config.port));
    }
    vanter::app::select(ResetCombo, config.resetLevel);
}

void TVante3_0::showConfiguration(const vanter::Configuration& config) {
    showPortAndReset(config);
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        const vanter::SlotSettings& settings = config.slots.at(static_cast<std::size_t>(slot));
        if (!settings.enabled) {
            // The reader never unchecks a slot, and leaves the values of slots it skips.
            continue;
        }
        panel(slot).setChecked(true);
        panel(slot).showSettings(settings);
    }
}

void TVante3_0::showWholeConfiguration(const vanter::Configuration& config) {
    // The boxes first: a change of state runs the slot's panel switch.
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        panel(slot).setChecked(config.slots.at(static_cast<std::size_t>(slot)).enabled);
    }
    showPortAndReset(config);
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        panel(slot).showSettings(config.slots.at(static_cast<std::size_t>(slot)));
    }
}

int TVante3_0::messageBox(const QString& text, int flags) {
    ++boxesShown_;
    return dialogs_.message(this, text, messageCaption_, flags);
}

void TVante3_0::errorBox(const QString& what) {
    ++boxesShown_;
    dialogs_.error(this, vanter::app::errorBoxText(what),
                   QString::fromLatin1(vanter::app::kApplicationTitle));
}

QString TVante3_0::statusText() const {
    return statusPanel_->text();
}

void TVante3_0::setStatusText(std::string_view text) {
    statusPanel_->setText(fromLocal8Bit(text));
    // The driver call that follows blocks the loop: show the text before it.
    statusPanel_->repaint();
}

void TVante3_0::showOutcome(const vanter::CommandOutcome& outcome) {
    messageBox(fromLocal8Bit(outcome.message()), kMbOk);
}

void TVante3_0::handlerStarted() noexcept {
    if (eventRules_ != nullptr) {
        eventRules_->handlerStarted();
    }
}

void TVante3_0::handlerFinished() noexcept {
    if (eventRules_ != nullptr) {
        eventRules_->handlerFinished();
    }
}

bool TVante3_0::pendingChecksPassed() noexcept {
    if (eventRules_ == nullptr) {
        return true;
    }
    const int before = boxesShown_;
    eventRules_->runPendingChecks();
    return boxesShown_ == before;
}

void TVante3_0::VanterClick(int slot) {
    // The box has changed state: its panel must follow, whatever a check said first.
    guarded([&] { panel(slot).panelSwitch(); }, AfterBox::run);
}

void TVante3_0::FormatComboChange(int slot) {
    guarded([&] { panel(slot).labelSwitch(); }, AfterBox::run);
}

void TVante3_0::AddrEditExit(int slot) {
    guarded([&] { panel(slot).checkOffset(); });
}

void TVante3_0::FilenameEditChange(int slot) {
    guarded([&] { panel(slot).checkFileName(); });
}

void TVante3_0::BrowseBtnClick(int slot) {
    guarded([&] { panel(slot).browse(); });
}

void TVante3_0::DownloadButClick() {
    guarded([&] { showOutcome(vanter::runDownload(configuration(), driver_, *this)); });
}

void TVante3_0::CheckClick() {
    guarded([&] { showOutcome(vanter::runCheck(configuration(), driver_, *this)); });
}

void TVante3_0::CloseButClick() {
    guarded([&] {
        const int answer = messageBox(QStringLiteral("Do you want to save the change?"),
                                      vanter::app::kMbYesNoCancel);
        if (answer == vanter::app::kIdYes) {
            // Save as the menu runs it. The window closes once the configuration is saved or
            // there was nothing to save; a cancelled dialog, a failed write or an error it
            // raises leaves the window open with its values.
            if (fileCommands_->save() != vanter::app::SaveOutcome::NotSaved) {
                close();
            }
        } else if (answer == vanter::app::kIdNo) {
            close();
        }
    });
}

void TVante3_0::New1Click() {
    guarded([&] { fileCommands_->newFile(); });
}

void TVante3_0::Open1Click() {
    guarded([&] { fileCommands_->open(); });
}

void TVante3_0::Save1Click() {
    guarded([&] { fileCommands_->save(); });
}

void TVante3_0::SaveAs1Click() {
    guarded([&] { fileCommands_->saveAs(); });
}

void TVante3_0::Exit1Click() {
    guarded([&] { close(); });
}
