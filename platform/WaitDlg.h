#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/Progress.h"
#include "platform/UiServices.h"

class QLabel;
class QPushButton;
class CStopRequest;

// The busy dialog: a small caption-less box saying that the program is working. While it is
// up, the window behind it (its owner) is disabled, so no second command can start. The busy
// dialog of work that can be stopped has a "中止" button, the only control that takes input
// while the work runs; Esc presses it.
class CWaitDlg : public QDialog {
    Q_OBJECT

public:
    // onStop, when given, makes the dialog one of work that can be stopped: the button and Esc
    // call it.
    explicit CWaitDlg(std::function<void()> onStop = {});
    ~CWaitDlg() override;

    // Disables the owner (the given parent, else the active modal dialog, else the main
    // window) when it is enabled, and shows the dialog. False when it could not be shown; the
    // owner is then enabled again.
    bool Create(QWidget* pParent = nullptr);
    // Enables the owner again if Create disabled it, and takes the dialog down.
    void DestroyWindow();
    // Shows the dialog again over the owner it had, after DestroyWindow.
    void ShowAgain() { Create(m_pOwner); }
    // Adds the file, the count of files and the bytes of a large transfer under the notice and
    // paints them at once, without letting any other window message run.
    void ShowProgress(const CProgress::State& state);

    // The "中止" button; null in the dialog of work that cannot be stopped.
    QPushButton* StopButton() const { return m_pStop; }

    void reject() override;

private:
    void OnStop();

    QLabel* m_pText = nullptr;
    QPushButton* m_pStop = nullptr;
    std::function<void()> m_onStop;
    QPointer<QWidget> m_pOwner;
    bool m_bDisabledOwner = false;
};

// Lets every waiting window message run, so that windows paint before blocking work starts.
void PumpMessages();

// The busy dialog as the UI services hand it out; with bCanStop, with its "中止" button and
// the stop request the work asks.
class CWaitIndicator : public CBusyIndicator {
public:
    explicit CWaitIndicator(bool bCanStop = false);
    ~CWaitIndicator() override;
    void Close() override;

private:
    void OnProgress(const CProgress::State& state);
    void Show(const CProgress::State& state);

    std::unique_ptr<CStopRequest> m_pStopRequest;
    CWaitDlg* m_pDialog = nullptr;
    CProgress m_progress;
    QElapsedTimer m_sinceShown;
    bool m_bShowsBytes = false;
    // The newest state held back by the interval, shown when it has passed: the last reports
    // of work that then waits (units finishing while another stays silent) must not stay
    // unseen until the next report.
    CProgress::State m_heldBack;
    QTimer m_heldBackTimer;
};
