#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

// Lets PC files be dropped on a widget, as another way of choosing them in the file dialog: a
// drag that carries only local files is accepted, and the drop hands their paths (UTF-8, in
// the order dragged) to the command. Folders, remote locations and other data are refused.
class CFileDropTarget : public QObject {
public:
    using DropCommand = std::function<void(const std::vector<std::string>&)>;

    // For an item view, the widget is its viewport. The target lives as long as the widget.
    CFileDropTarget(QWidget& widget, DropCommand command);

    // The paths of the files the data carries; empty unless every item is a local file.
    static std::vector<std::string> DroppedFiles(const QMimeData& data);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    DropCommand m_command;
};
