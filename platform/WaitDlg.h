#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include "platform/Progress.h"
#include "platform/UiServices.h"

class QLabel;

// The busy dialog: a small caption-less box saying that the program is working. While it is
// up, the window behind it (its owner) is disabled, so no second command can start.
class CWaitDlg : public QDialog {
    Q_OBJECT

public:
    CWaitDlg();
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

private:
    QLabel* m_pText = nullptr;
    QPointer<QWidget> m_pOwner;
    bool m_bDisabledOwner = false;
};

// Lets every waiting window message run, so that windows paint before blocking work starts.
void PumpMessages();

// The busy dialog as the UI services hand it out.
class CWaitIndicator : public CBusyIndicator {
public:
    CWaitIndicator();
    ~CWaitIndicator() override;
    void Close() override;

private:
    void OnProgress(const CProgress::State& state);

    CWaitDlg* m_pDialog = nullptr;
    CProgress m_progress;
    QElapsedTimer m_sinceShown;
    bool m_bShowsBytes = false;
};
