#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <string>
#include <vector>

// Drags the files onto the widget and drops them there, as a file manager does; whether the
// widget took the drop.
inline bool DropFiles(QWidget& widget, const std::vector<std::string>& aPaths) {
    QMimeData data;
    QList<QUrl> aUrls;
    for (const std::string& strPath : aPaths) {
        aUrls << QUrl::fromLocalFile(QString::fromStdString(strPath));
    }
    data.setUrls(aUrls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &drop);
    return drop.isAccepted();
}
