#pragma once
#include <QDialog>
#include <QPoint>
#include <functional>
#include <map>
#include <string_view>

#include "ui/toolkit/dialog_units.h"

class DataExchange;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class ScrollBar;
class SpinButton;

// Results of DoModal.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Id of a control that is never looked up (labels, frames without a role).
inline constexpr int IDC_STATIC = -1;

// A dialog built from a template in dialog units, with the dialog
// framework's life cycle and data exchange. Controls are children of the
// dialog, registered under a numeric id (objectName "id<number>") and
// looked up by it. Everything runs on the user-interface thread.
//
// Life cycle: DoModal runs OnInitDialog, then the modal loop, and returns
// IDOK or IDCANCEL; a dialog ended inside OnInitDialog is never shown.
// Enter presses the default push button; Escape calls OnCancel; the close
// box calls OnClose (default: OnCancel). The standard OnOK reads the
// controls back (UpdateData(true)) and ends with IDOK only if that worked;
// the standard OnCancel ends with IDCANCEL.
class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);

    // Runs the dialog modally; IDOK (1) or IDCANCEL (2).
    int DoModal();

    // Modeless start: OnInitDialog, then shown. False when OnInitDialog
    // ended the dialog (it is not shown then). For tests that drive a
    // dialog without a modal loop of their own.
    bool Create();

    // Ends the dialog (modal or not) with `result`; DoModal returns it.
    void EndDialog(int result);

    // Whether EndDialog has run since the last DoModal or Create.
    bool Ended() const { return ended_; }

    // Runs DoDataExchange: saveAndValidate false writes the fields to the
    // controls, true reads the controls into the fields. False when a
    // control held text that is not a number or a number out of range: the
    // toolkit's message has been shown, the focus is back on that edit and
    // the rest of the exchange was skipped.
    bool UpdateData(bool saveAndValidate = true);

    // The control registered under `id`, or nullptr.
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const {
        return qobject_cast<T*>(GetDlgItem(id));
    }

    // Enables or disables control `id`; whether it is enabled.
    void EnableWindow(int id, bool enable);
    bool IsWindowEnabled(int id) const;

    // Checks radio button `check` and unchecks the others of first..last.
    void CheckRadioButton(int first, int last, int check);
    // The checked radio button of first..last, or 0 when none.
    int GetCheckedRadioButton(int first, int last) const;

    // Timer `id` delivering OnTimer(id) every `milliseconds` until
    // KillTimer(id); setting an existing id restarts it. False if refused.
    bool SetTimer(int id, int milliseconds);
    bool KillTimer(int id);

    // --- Building the template (normally in the constructor) ---------------
    // The dialog units of the dialog font set at construction; a dialog that
    // later picks another font for its texts keeps the template's units.
    const DialogUnits& Units() const { return units_; }
    // Size of the dialog's client area in dialog units, and its caption.
    void SetTemplate(int width, int height, std::string_view caption);
    // Registers `widget` under `id` (IDC_STATIC: not registered), makes it a
    // child and places it; returns it.
    template <class T>
    T* AddControl(int id, const DialogRect& rect, T* widget) {
        Register(id, rect, widget);
        return widget;
    }
    // Registers under `id` a control that lives inside another one (a tab
    // page, laid out by its own layout), so GetDlgItem, Item, OnClicked and
    // EnableWindow reach it; neither its parent nor its place changes.
    void RegisterItem(int id, QWidget* widget);
    QLabel* AddStatic(int id, std::string_view text, const DialogRect& rect, bool sunken = false);
    QGroupBox* AddGroupBox(int id, std::string_view text, const DialogRect& rect);
    // An edit; read-only ones can also be borderless (they read as labels).
    QLineEdit* AddEdit(int id, const DialogRect& rect, bool readOnly, bool border = true);
    QPushButton* AddButton(int id, std::string_view text, const DialogRect& rect,
                           bool isDefault = false);
    QCheckBox* AddCheckBox(int id, std::string_view text, const DialogRect& rect);
    QRadioButton* AddRadioButton(int id, std::string_view text, const DialogRect& rect);
    // Horizontal slider, range 0..100, no tick marks.
    QSlider* AddSlider(int id, const DialogRect& rect);
    // Progress bar, range 0..100, no text.
    QProgressBar* AddProgressBar(int id, const DialogRect& rect);
    // A black frame; clicks pass through to the dialog (OnLButtonDown).
    QFrame* AddBlackFrame(int id, const DialogRect& rect);
    // Scroll bar and up-down control whose notifications reach OnHScroll.
    ScrollBar* AddScrollBar(int id, const DialogRect& rect);
    SpinButton* AddSpinButton(int id, const DialogRect& rect);

    // --- Command routing -------------------------------------------------
    // `handler` runs when button `id` is clicked (BN_CLICKED).
    void OnClicked(int id, std::function<void()> handler);
    // `handler` runs when the keyboard focus leaves control `id` for another
    // control of this window (EN_KILLFOCUS); a focus change caused by
    // another window coming up (a message box) does not count.
    void OnKillFocus(int id, std::function<void()> handler);
    // Puts the keyboard focus on `control` and selects its text, without a
    // kill-focus notification for the control that loses the focus: the
    // toolkit moving the focus back after a refusal is not the user
    // leaving a control.
    void RestoreFocus(QWidget* control);
    // `handler` runs when the mouse button is released over control `id`
    // after it had been pressed there (NM_RELEASEDCAPTURE of a slider).
    void OnReleasedCapture(int id, std::function<void()> handler);

protected:
    // Runs once before the dialog is shown. The standard one pushes the
    // fields to the controls (UpdateData(false)); returns true.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The close box (and Alt+F4). The standard one calls OnCancel.
    virtual void OnClose();
    // The exchange list; the standard one is empty.
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnTimer(int id);
    // A scroll bar or up-down control of this dialog was used.
    virtual void OnHScroll(int code, int position, QWidget* source);
    // Left mouse button pressed at `point` (dialog client coordinates),
    // also over black frames.
    virtual void OnLButtonDown(QPoint point);
    // A message from another thread, delivered by whatever carries it
    // (the main window's recorder mailbox).
    virtual void OnPostedMessage(unsigned message);

    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Register(int id, const DialogRect& rect, QWidget* widget);

    DialogUnits units_;
    std::map<int, QWidget*> controls_;
    std::map<int, int> timers_;  // our id -> Qt timer id
    std::map<QObject*, std::function<void()>> killFocusHandlers_;
    std::map<QObject*, std::function<void()>> releaseHandlers_;
    bool restoringFocus_ = false;
    bool ended_ = false;
    int endResult_ = IDCANCEL;
};
