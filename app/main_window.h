#pragma once

// The program's one window: every control as designed, the bindings of control events to
// handlers, the message boxes, and the error net around every handler.

#include <QMainWindow>
#include <QString>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "app/common/dialogs.h"
#include "app/filecmds/configuration_form.h"
#include "app/panels/unit_panel.h"
#include "busy_cursor_driver.h"
#include "config/configuration.h"
#include "emulator/driver.h"
#include "emulator/reporter.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace vanter {
struct CommandOutcome;
} // namespace vanter

namespace vanter::app {
class EventRules;
class FileCommands;
} // namespace vanter::app

class TVante3_0;

// The program-wide reference to the main window; set as soon as its construction begins, so
// that code run by the constructor finds the window, and empty again if construction fails.
extern TVante3_0* Vante3_0;

class TVante3_0 : public QMainWindow,
                  public vanter::Reporter,
                  public vanter::app::ConfigurationForm {
    Q_OBJECT

public:
    // The initialisation step that the constructor runs once the controls stand.
    // Empty: the file commands' own (default configuration file or defaults).
    using Initialisation = std::function<void(TVante3_0&)>;

    TVante3_0(vanter::app::Dialogs& dialogs, vanter::Driver& driver,
              Initialisation initialisation = {}, QWidget* parent = nullptr);
    ~TVante3_0() override;

    TVante3_0(const TVante3_0&) = delete;
    TVante3_0& operator=(const TVante3_0&) = delete;

    // The window's components as designed; each one's objectName is its member name.
    QFrame* Bevel1 = nullptr;
    QLabel* PrinterPort = nullptr;
    QComboBox* PrinterCombo = nullptr;
    QLabel* ResetLevel = nullptr;
    QComboBox* ResetCombo = nullptr;
    QPushButton* DownloadBut = nullptr;
    QPushButton* Check = nullptr;
    QPushButton* CloseBut = nullptr;
    QStatusBar* StatusBar = nullptr;
    QMenuBar* MainMenu = nullptr;
    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;
    vanter::app::FileDialog* OpenDialog = nullptr;
    vanter::app::FileDialog* SaveDialog = nullptr;

    vanter::app::UnitPanel& panel(int slot) { return *panels_.at(static_cast<std::size_t>(slot)); }
    const vanter::app::UnitPanel& panel(int slot) const {
        return *panels_.at(static_cast<std::size_t>(slot));
    }
    // The controls of one unit slot.
    const vanter::app::UnitPanel::Controls& unit(int slot) const { return panel(slot).controls(); }
    vanter::app::FileCommands& fileCommands() { return *fileCommands_; }

    // vanter::app::ConfigurationForm: the file commands' view of the window.
    vanter::Configuration configuration() const override;
    void showConfiguration(const vanter::Configuration& config) override;
    void showWholeConfiguration(const vanter::Configuration& config) override;
    const QString& currentFileName() const noexcept override { return currentFileName_; }
    void setCurrentFileName(const QString& name) override { currentFileName_ = name; }
    QString caption() const override { return windowTitle(); }
    void setCaption(const QString& caption) override { setWindowTitle(caption); }
    void setMessageCaption(const QString& caption) override { messageCaption_ = caption; }
    void tell(const QString& text) override { messageBox(text); }

    // The caption of every message box a handler shows.
    const QString& messageCaption() const noexcept { return messageCaption_; }

    // The message box with the message caption; returns the answer (kIdYes...).
    int messageBox(const QString& text, int flags = vanter::app::kMbOk);
    // The error box: the text with a full stop added as needed, captioned "VANTER III".
    void errorBox(const QString& what);

    QString statusText() const;

    // vanter::Reporter: the status bar's text, shown before the driver call that follows.
    void setStatusText(std::string_view text) override;

    void setDriver(vanter::Driver& driver) noexcept { driver_.wrap(driver); }

    // Handlers; each runs inside the error net. The slot handlers take the slot (0 to 3).
    void VanterClick(int slot);
    void FormatComboChange(int slot);
    void AddrEditExit(int slot);
    void FilenameEditChange(int slot);
    void BrowseBtnClick(int slot);
    void DownloadButClick();
    void CheckClick();
    void CloseButClick();
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Exit1Click();

    // What a command does when an exit check that was still pending told the user something.
    enum class AfterBox {
        drop, // a click or key that came with the focus move met the box, as it would have
        run,  // the control has changed already (a check box, a list pick): its handler follows
    };

    // The error net: runs `handler`; an error it raises is shown in the error box and goes
    // no further, so that no exception ever unwinds through the toolkit's frames.
    // An exit check left pending by a focus move runs first; no exit check starts while a
    // handler runs (its box is up).
    template <class Handler>
    void guarded(Handler&& handler, AfterBox afterBox = AfterBox::drop) noexcept {
        if (!pendingChecksPassed() && afterBox == AfterBox::drop) {
            return;
        }
        handlerStarted();
        try {
            std::forward<Handler>(handler)();
        } catch (const std::exception& error) {
            errorBox(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            errorBox(QStringLiteral("Unknown error"));
        }
        handlerFinished();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Sets Vante3_0 on construction and clears it on destruction.
    struct Published {
        explicit Published(TVante3_0* window);
        ~Published();
        Published(const Published&) = delete;
        Published& operator=(const Published&) = delete;
        TVante3_0* window;
    };

    // A command's verdict in a message box.
    void showOutcome(const vanter::CommandOutcome& outcome);

    void buildWindow();
    void buildTopRow(QWidget* client);
    void buildBottomRow(QWidget* client);
    void buildMenus();
    void buildStatusBar();
    void setTabOrder();
    void nameControls();
    void connectHandlers();
    void fitLabels();
    void showPortAndReset(const vanter::Configuration& config);
    void handlerStarted() noexcept;
    void handlerFinished() noexcept;
    // Runs the exit checks still pending, unless a handler is running; false when one of them
    // told the user something.
    bool pendingChecksPassed() noexcept;
    // Keeps the designed position where the window fits its screen, else moves it onto it.
    void placeOnScreen();

    Published published_;
    QString currentFileName_;
    QString messageCaption_;
    QLabel* statusPanel_ = nullptr;
    QWidget* client_ = nullptr;
    vanter::app::Dialogs& dialogs_;
    vanter::app::BusyCursorDriver driver_;
    std::array<std::unique_ptr<vanter::app::UnitPanel>, vanter::kSlotCount> panels_;
    std::unique_ptr<vanter::app::FileCommands> fileCommands_;
    vanter::app::EventRules* eventRules_ = nullptr;
    int boxesShown_ = 0; // message and error boxes, counted to see whether a check told anything
    bool placed_ = false;
};
