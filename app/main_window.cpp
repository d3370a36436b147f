#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include <QStatusBar>
#include <QStyleFactory>
#include <QValidator>

#include <algorithm>
#include <span>
#include <string>

#include "emulator/commands.h"
#include "event_rules.h"
#include "filecmds/file_commands.h"
#include "panels/unit_panel.h"
#include "qt_compat.h"
#include "vanter_icon.xpm"

TVante3_0* Vante3_0 = nullptr;

namespace {

using vanter::app::kMbOk;

// The client area below the menu bar, the status bar taking its bottom 22 pixels.
constexpr int kClientWidth = 553;
constexpr int kClientHeight = 498;
constexpr int kStatusBarHeight = 22;
constexpr int kOffsetMaxLength = 10;

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

std::string local8Bit(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString fromLocal8Bit(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

int listPosition(std::span<const std::string_view> entries, const QString& text) {
    return vanter::listPosition(entries, local8Bit(text));
}

template <class List> void fill(QComboBox* combo, const List& entries) {
    for (std::string_view entry : entries) {
        combo->addItem(fromLocal8Bit(entry));
    }
    // Filling selects the first entry; the designed state is "nothing selected".
    combo->setCurrentIndex(-1);
}

// Selects a position from code; one outside the list selects nothing.
void select(QComboBox* combo, int position) {
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

template <class W> W* make(QWidget* parent, const char* name, int x, int y, int width, int height) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QComboBox* makeCombo(QWidget* parent, const char* name, int x, int y, int width,
                     int dropDownCount) {
    auto* combo = make<QComboBox>(parent, name, x, y, width, 21);
    combo->setMaxVisibleItems(dropDownCount);
    return combo;
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

// Typing never makes an offset longer than 10 characters, nor longer than a longer text the
// program put in (read from a file), which the user may only shorten. A validator, not the
// edit's maximum length: that cuts the program's texts, and changing it sets the text afresh
// (caret to the end, selection and undo gone).
class OffsetTypingLimit final : public QValidator {
public:
    explicit OffsetTypingLimit(QLineEdit* edit) : QValidator(edit), edit_(edit) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (!edit_->isModified()) {
                programLength_ = text.size();
            }
        });
    }

    State validate(QString& input, int& /*cursor*/) const override {
        // The program's own text, also when the user's undo goes back to it, stands as it is.
        if (!edit_->isModified()) {
            return Acceptable;
        }
        return input.size() <= std::max<qsizetype>(kOffsetMaxLength, programLength_) ? Acceptable
                                                                                     : Invalid;
    }

private:
    QLineEdit* edit_;
    qsizetype programLength_ = 0;
};

QString numbered(const char* stem, int slot) {
    return QString::fromLatin1(stem) + QString::number(slot + 1);
}

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
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        panels_.at(static_cast<std::size_t>(slot)) =
            std::make_unique<vanter::app::UnitPanel>(*this, slot);
    }
    fileCommands_ = std::make_unique<vanter::app::FileCommands>(*this);
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

vanter::app::UnitPanel& TVante3_0::panel(int slot) {
    return *panels_.at(static_cast<std::size_t>(slot));
}

void TVante3_0::buildWindow() {
    setObjectName(QStringLiteral("Vante3_0"));
    setWindowTitle(QStringLiteral("VANTER III  v3.b3  -- Untitled.in3"));
    setWindowIcon(QIcon(QPixmap(vanter_icon_xpm)));
    setFont(windowFont());

    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);

    buildTopRow(client_);
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        buildUnit(client_, slot);
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

    OpenDialog = new vanter::app::FileDialog(vanter::app::FileDialog::Kind::Open, dialogs_, this,
                                             QStringLiteral("OpenDialog"));
    SaveDialog = new vanter::app::FileDialog(vanter::app::FileDialog::Kind::Save, dialogs_, this,
                                             QStringLiteral("SaveDialog"));

    // Like the designed form, the window has no minimum size of its own.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    // The designed client area lies below the menu bar, whose height depends on the style.
    resize(kClientWidth, MainMenu->sizeHint().height() + kClientHeight);
    move(218, 18);
}

void TVante3_0::buildTopRow(QWidget* client) {
    Bevel1 = make<QFrame>(client, "Bevel1", 0, 0, kClientWidth, 2);
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

void TVante3_0::buildUnit(QWidget* client, int slot) {
    // Slots #0 and #1 side by side, #2 and #3 below them.
    const int dx = (slot % 2) * 272;
    const int dy = (slot / 2) * 192;
    // The lists of the right-hand panels stand at 376, a pixel left of 105 + 272.
    const int listX = slot % 2 == 0 ? 105 : 376;
    UnitControls& unit = units_.at(static_cast<std::size_t>(slot));
    const auto name = [slot](const char* stem) {
        return numbered(stem, slot).toLatin1();
    };

    const QByteArray bevelName = "Bevel" + QByteArray::number(slot + 2);
    unit.bevel = make<QFrame>(client, bevelName.constData(), 8 + dx, 62 + dy, 257, 161);
    unit.bevel->setFrameShape(QFrame::Box);
    unit.bevel->setFrameShadow(QFrame::Sunken);

    // The check box is the frame's title: it sits across the top edge, hiding the line.
    unit.vanter = make<QCheckBox>(client, name("Vanter").constData(), 24 + dx, 55 + dy, 81, 17);
    unit.vanter->setText(QStringLiteral("VANTER #") + QString::number(slot));
    unit.vanter->setAutoFillBackground(true);

    unit.eprom =
        makeLabel(client, name("Eprom").constData(), QStringLiteral("EPROM:"), 40 + dx, 88 + dy);
    unit.epromCombo = makeCombo(client, name("EpromCombo").constData(), listX, 86 + dy, 65, 9);
    fill(unit.epromCombo, vanter::kMemoryTypes);

    unit.fileFormat = makeLabel(client, name("FileFormat").constData(),
                                QStringLiteral("File Format:"), 40 + dx, 112 + dy);
    unit.formatCombo = makeCombo(client, name("FormatCombo").constData(), listX, 110 + dy, 65, 8);
    fill(unit.formatCombo, vanter::kFileFormats);

    unit.addrLabel =
        makeLabel(client, name("AddrLabel").constData(),
                  QStringLiteral("Loading offset at EPROM socket:"), 24 + dx, 135 + dy);
    unit.addrEdit =
        make<QLineEdit>(client, name("AddrEdit").constData(), 200 + dx, 130 + dy, 60, 21);
    unit.addrEdit->setValidator(new OffsetTypingLimit(unit.addrEdit));
    unit.addrEdit->setToolTip(slot == 1 ? QStringLiteral("Hex number(i.e. FFF0)")
                                        : QStringLiteral("HEX number(i.e. FFF0)"));

    unit.filename = makeLabel(client, name("Filename").constData(), QStringLiteral("Filename:"),
                              24 + dx, 160 + dy);
    unit.filenameEdit =
        make<QLineEdit>(client, name("FilenameEdit").constData(), 72 + dx, 158 + dy, 177, 21);
    // What the user may type into it: the unit panel (OEM code page).

    unit.browseBtn =
        make<QPushButton>(client, name("BrowseBtn").constData(), 179 + dx, 188 + dy, 70, 25);
    unit.browseBtn->setText(QStringLiteral("Browse..."));
}

void TVante3_0::buildBottomRow(QWidget* client) {
    DownloadBut = make<QPushButton>(client, "DownloadBut", 100, 435, 75, 25);
    DownloadBut->setText(QStringLiteral("Download"));
    // Marks it as the default button for the style; Enter itself is handled by EventRules.
    DownloadBut->setDefault(true);
    Check = make<QPushButton>(client, "Check", 235, 435, 75, 25);
    Check->setText(QStringLiteral("Check"));
    CloseBut = make<QPushButton>(client, "CloseBut", 370, 435, 75, 25);
    CloseBut->setText(QStringLiteral("&Close"));
    for (QPushButton* button : {DownloadBut, Check, CloseBut}) {
        button->setAutoDefault(false);
    }
    for (const UnitControls& unit : units_) {
        unit.browseBtn->setAutoDefault(false);
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
    for (const UnitControls& unit : units_) {
        order << unit.vanter << unit.epromCombo << unit.formatCombo << unit.addrEdit
              << unit.filenameEdit << unit.browseBtn;
    }
    order << DownloadBut << CloseBut << Check;
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

// What a screen reader speaks for each control: the label beside it, with the unit it belongs
// to where four panels share the label. The label is the control's buddy and carries the same
// name, since readers on Linux name a drop-down list by its label (its own name is its entry).
// Buttons and check boxes speak their captions.
void TVante3_0::nameControls() {
    PrinterPort->setBuddy(PrinterCombo);
    PrinterCombo->setAccessibleName(PrinterPort->text());
    ResetLevel->setBuddy(ResetCombo);
    ResetCombo->setAccessibleName(ResetLevel->text());
    for (const UnitControls& unit : units_) {
        for (const auto& [label, control] :
             {std::pair<QLabel*, QWidget*>{unit.eprom, unit.epromCombo},
              {unit.fileFormat, unit.formatCombo},
              {unit.addrLabel, unit.addrEdit},
              {unit.filename, unit.filenameEdit}}) {
            label->setBuddy(control);
        }
        unit.browseBtn->setAccessibleName(unit.vanter->text() + QStringLiteral(" Browse"));
    }
    nameLabelledControls();
    // The panel inside keeps no name of its own: its name is the status text, which is what a
    // reader speaks, and the label announces each new text itself (NameChanged).
    StatusBar->setAccessibleName(QStringLiteral("Status"));
}

// Names each unit's labelled controls after their labels. The offset label says what the
// number means (socket offset or target address), so this runs again when a label changes.
void TVante3_0::nameLabelledControls() {
    for (const UnitControls& unit : units_) {
        for (QLabel* label : {unit.eprom, unit.fileFormat, unit.addrLabel, unit.filename}) {
            QString name = label->text();
            if (name.endsWith(u':')) {
                name.chop(1);
            }
            name = unit.vanter->text() + u' ' + name;
            // Setting a name tells the reader; only real changes are worth telling.
            if (label->accessibleName() != name) {
                label->setAccessibleName(name);
                label->buddy()->setAccessibleName(name);
            }
        }
    }
}

void TVante3_0::connectHandlers() {
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        const UnitControls& unit = units_.at(static_cast<std::size_t>(slot));
        // Every change of state, also from code; setting the present state raises nothing.
        connect(unit.vanter, &QCheckBox::toggled, this, [this, slot] { VanterClick(slot); });
        // Only the user's pick; selecting from code raises nothing.
        connect(unit.formatCombo, qOverload<int>(&QComboBox::activated), this,
                [this, slot] { FormatComboChange(slot); });
        connect(unit.browseBtn, &QPushButton::clicked, this,
                [this, slot] { BrowseBtnClick(slot); });
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
    for (const UnitControls& unit : units_) {
        eventRules_->watchExit(unit.addrEdit);
        eventRules_->watchExit(unit.filenameEdit);
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
            nameLabelledControls();
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
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
    config.resetLevel = listPosition(vanter::kResetEntries, ResetCombo->currentText());
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        const UnitControls& controls = unit(slot);
        vanter::SlotSettings& settings = config.slots.at(static_cast<std::size_t>(slot));
        settings.enabled = controls.vanter->isChecked();
        settings.memoryType =
            listPosition(vanter::kMemoryTypes, controls.epromCombo->currentText());
        settings.fileFormat =
            listPosition(vanter::kFileFormats, controls.formatCombo->currentText());
        settings.offset = local8Bit(controls.addrEdit->text());
        settings.fileName = local8Bit(controls.filenameEdit->text());
    }
    return config;
}

void TVante3_0::showConfiguration(const vanter::Configuration& config) {
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
    select(ResetCombo, config.resetLevel);
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        const vanter::SlotSettings& settings = config.slots.at(static_cast<std::size_t>(slot));
        if (!settings.enabled) {
            // The reader never unchecks a slot, and leaves the values of slots it skips.
            continue;
        }
        const UnitControls& controls = unit(slot);
        controls.vanter->setChecked(true);
        select(controls.epromCombo, settings.memoryType);
        select(controls.formatCombo, settings.fileFormat);
        showOffset(slot, fromLocal8Bit(settings.offset));
        controls.filenameEdit->setText(fromLocal8Bit(settings.fileName));
    }
}

void TVante3_0::showOffset(int slot, const QString& text) {
    // The length limit is the user's: the program's text is shown whole.
    unit(slot).addrEdit->setText(text);
}

int TVante3_0::messageBox(const QString& text, int flags) {
    return dialogs_.message(this, text, messageCaption_, flags);
}

void TVante3_0::errorBox(const QString& what) {
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

void TVante3_0::VanterClick(int slot) {
    guarded([&] { panel(slot).panelSwitch(); });
}

void TVante3_0::FormatComboChange(int slot) {
    guarded([&] { panel(slot).labelSwitch(); });
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
