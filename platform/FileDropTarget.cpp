#include "platform/FileDropTarget.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

CFileDropTarget::CFileDropTarget(QWidget& widget, DropCommand command)
    : QObject(&widget), m_command(std::move(command)) {
    widget.setAcceptDrops(true);
    widget.installEventFilter(this);
}

std::vector<std::string> CFileDropTarget::DroppedFiles(const QMimeData& data) {
    std::vector<std::string> aPaths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) {
            return {};
        }
        aPaths.push_back(url.toLocalFile().toStdString());
    }
    return aPaths;
}

bool CFileDropTarget::eventFilter(QObject* pWatched, QEvent* pEvent) {
    switch (pEvent->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* pDrag = static_cast<QDragMoveEvent*>(pEvent);
            if (DroppedFiles(*pDrag->mimeData()).empty()) {
                pDrag->ignore();
            } else {
                pDrag->acceptProposedAction();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* pDrop = static_cast<QDropEvent*>(pEvent);
            const std::vector<std::string> aPaths = DroppedFiles(*pDrop->mimeData());
            if (aPaths.empty()) {
                pDrop->ignore();
                return true;
            }
            pDrop->acceptProposedAction();
            m_command(aPaths);
            return true;
        }
        default:
            return QObject::eventFilter(pWatched, pEvent);
    }
}
