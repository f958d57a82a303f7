#pragma once

// Form3, the main window: the drive, folder and file lists, the two result
// lists, the rule inputs and the run buttons, drawn in the skinned look.
// It holds no logic of its own beyond wiring the controls' events to the
// runs and the browsing handlers.

#include "help_window.h"
#include "run_driver.h"
#include "skinned_window.h"
#include "widget_controls.h"

#include "controls/xpcmdbutton.h"
#include "controls/xpgroupbox.h"
#include "controls/xphelp.h"
#include "controls/xpradiobutton.h"
#include "controls/xptopbuttons.h"
#include "widgets/group_frame.h"

#include "platform/files/file_calls.h"
#include "platform/toolkit/message_box.h"

#include <QLabel>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

namespace renamer {

class preview_planner;
class preview_window;

class Form3 : public skinned_window, public widget_controls {
    Q_OBJECT
public:
    // Opens on `folder` (the current folder when empty), centred on the
    // screen, with both lists empty. It reports and asks in `boxes`.
    explicit Form3(const std::string& folder = {}, platform::message_boxes& boxes = platform::modal_boxes())
        : Form3(folder, platform::kernel_files(), boxes)
    {
    }
    // The same with every file call of the window (the lists, the runs, the
    // undo and the preview's image of the folder) made on `files`, which
    // must outlive the window.
    Form3(const std::string& folder, const platform::file_system& files,
          platform::message_boxes& boxes = platform::modal_boxes());
    ~Form3() override;

    bool check_value(check_id which) override { return option(which).Value(); }
    // From code, as the option button itself: this button only, no Click.
    void set_check_value(check_id which, bool value) override { option(which).set_Value(value); }

    controls::xpradiobutton& option(check_id which) { return *m_checks[static_cast<std::size_t>(which)]; }
    controls::xpcmdbutton& Command1() { return *m_Command1; }
    controls::xpcmdbutton& Command2() { return *m_Command2; }
    controls::xpcmdbutton& xpcmdbutton1() { return *m_xpcmdbutton1; }
    controls::xptopbuttons& xptopbuttons1() { return *m_xptopbuttons1; }
    controls::xphelp& xphelp1() { return *m_xphelp1; }
    controls::xpgroupbox& xpgroupbox1() { return *m_xpgroupbox1; }
    widgets::group_frame& Frame(int n) { return *m_frames[static_cast<std::size_t>(n)]; }
    QLabel& Label(int n) { return *m_labels[static_cast<std::size_t>(n)]; }
    QWidget& Shape1() { return *m_Shape1; }

    // The help window while it is loaded.
    Form2* help_window() const { return m_help; }
    void show_help();

    // The preview window while it is open; F5 opens it.
    preview_window* preview() const;
    void show_preview();

    // A rename, query or undo run is under way: it goes on between the
    // window's events until its end.
    bool running() const { return m_runs.running(); }

    // Ctrl+Z: the newest rename run not yet undone taken back; the next
    // Ctrl+Z takes back the one before.
    void undo_last_run();

protected:
    // Ctrl+Z outside the text boxes, F1 and F5 belong to the window
    // wherever the focus is in it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab go round the window's own order.
    bool focusNextPrevChild(bool next) override;

    // Closing the main window by the desktop's own means ends the program,
    // as its close button does, rather than leave the help window behind.
    void closeEvent(QCloseEvent* event) override;

private:
    void start_run(run_job (*make)(window_controls&));
    void stop_run();
    // The preview's own "修改".
    void rename_from_preview();
    void end_program();

    std::array<controls::xpradiobutton*, 3> m_checks{};
    controls::xpcmdbutton* m_Command1 = nullptr;
    controls::xpcmdbutton* m_Command2 = nullptr;
    controls::xpcmdbutton* m_xpcmdbutton1 = nullptr;
    controls::xptopbuttons* m_xptopbuttons1 = nullptr;
    controls::xphelp* m_xphelp1 = nullptr;
    controls::xpgroupbox* m_xpgroupbox1 = nullptr;
    // Frame1 to Frame3 and Label1 to Label9 by their numbers; element 0 is unused.
    std::array<widgets::group_frame*, 4> m_frames{};
    std::array<QLabel*, 10> m_labels{};
    QWidget* m_Shape1 = nullptr;

    QPointer<Form2> m_help;
    QPointer<preview_window> m_preview;
    // Made at the first preview.
    std::unique_ptr<preview_planner> m_planner;
    run_driver m_runs;
};

} // namespace renamer
