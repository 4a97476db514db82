#pragma once

#include <QDialog>
#include <QPushButton>

#include <initializer_list>
#include <map>

class CListView;
class QCheckBox;
class QLabel;
class QLineEdit;

// A push button of a dialog's table: its id, caption, rectangle in dialog units (14 high) and
// the command it runs.
template <class Dialog>
struct DialogButton {
    int nId;
    const char* pszCaption;
    int nX;
    int nY;
    int nWidth;
    void (Dialog::*command)();
};

// The base of the program's dialogs. OnInitDialog fills the controls when the dialog opens,
// before it shows, and may end it there; controls are made at rectangles in dialog units of
// the dialog's font and found again by their control id.
class CDialog : public QDialog {
    Q_OBJECT

public:
    // Control id of labels and frames that nothing looks up.
    static constexpr int kNoId = -1;

    // Runs OnInitDialog, then the dialog modally; a false answer of OnInitDialog ends the
    // dialog with Rejected before it shows.
    int exec() final;
    // Puts the members into the controls; false when the dialog cannot open (the reason has
    // been reported).
    virtual bool OnInitDialog();

    // The first showing fits the dialog into its screen's available area (see FitInto).
    void setVisible(bool bVisible) override;

    // The control with the id; nullptr when the dialog has none.
    QWidget* Item(int nId) const;
    QPushButton& Button(int nId) const;
    QLineEdit& Edit(int nId) const;

protected:
    explicit CDialog(QWidget* pParent);

    // Caption, font, and a fixed size in dialog units of that font.
    void SetUp(const QString& strCaption, const QFont& font, int nWidth, int nHeight);
    // A rectangle in dialog units of the dialog's font, in pixels.
    QRect Units(int nX, int nY, int nWidth, int nHeight) const;

    // Controls at a rectangle in dialog units. Buttons are never the default button unless
    // the dialog makes one so.
    QPushButton* AddButton(int nId, const QString& strCaption, int nX, int nY, int nWidth,
                           int nHeight = 14);
    QLabel* AddLabel(int nId, const QString& strText, int nX, int nY, int nWidth, int nHeight);
    QLineEdit* AddEdit(int nId, int nX, int nY, int nWidth, int nHeight = 14);
    QCheckBox* AddCheckBox(int nId, const QString& strCaption, int nX, int nY, int nWidth,
                           int nHeight);
    CListView* AddList(int nId, int nX, int nY, int nWidth, int nHeight);
    // The buttons of the table, each connected to its command.
    template <class Dialog>
    void AddButtons(std::initializer_list<DialogButton<Dialog>> aButtons) {
        for (const DialogButton<Dialog>& button : aButtons) {
            connect(AddButton(button.nId, QString::fromUtf8(button.pszCaption), button.nX,
                              button.nY, button.nWidth),
                    &QPushButton::clicked, static_cast<Dialog*>(this), button.command);
        }
    }
    // A control made another way (a picture button, a drop-down list, a control in a layout).
    template <class Control>
    Control* SetItem(int nId, Control* pControl) {
        if (nId != kNoId) {
            m_aItems[nId] = pControl;
        }
        return pControl;
    }

private:
    // A dialog larger than the room it has keeps its layout inside a scroll area that fills
    // the room, and can be made larger up to its own size, so that every control can be
    // reached on a small or highly scaled screen; one that fits is left as it is.
    void FitInto(const QSize& room);

    template <class Control>
    Control* Place(int nId, Control* pControl, int nX, int nY, int nWidth, int nHeight);

    std::map<int, QWidget*> m_aItems;
    QSize m_designSize;
    bool m_bFitted = false;
};
